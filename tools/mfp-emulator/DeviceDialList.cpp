#include "DeviceDialList.h"

#include <algorithm>

#include "support/Format.h"

namespace dialvane::emu {

namespace {

constexpr std::uint8_t kPidStopCause = 0x0F;
constexpr std::uint8_t kPidNumber = 0x60;
constexpr std::uint8_t kPidLongSender = 0xB2;

struct KindInfo {
    char letter;
    std::uint8_t info, registration, cancellation, dataPid;
};

constexpr std::array<KindInfo, 4> kKinds{{
    {'S', 0x7C, 0x7D, 0x7E, 0x6F},
    {'G', 0x79, 0x7A, 0x7B, 0x6E},
    {'W', 0x76, 0x77, 0x78, 0x6D},
    {'N', 0x60, 0x61, 0x62, 0x66},
}};

const KindInfo* ByLetter(char letter) {
    for (const KindInfo& kind : kKinds) {
        if (kind.letter == letter) {
            return &kind;
        }
    }
    return nullptr;
}

const KindInfo* ByMid(std::uint8_t mid) {
    for (const KindInfo& kind : kKinds) {
        if (kind.info == mid || kind.registration == mid || kind.cancellation == mid) {
            return &kind;
        }
    }
    return nullptr;
}

FrameParam Param(std::uint8_t pid, Bytes value) {
    return FrameParam::Make(pid, std::move(value));
}

// The request parameters each built-in request must carry, as they travel on the wire.
std::vector<std::vector<FrameParam>> ExpectedRequest(std::uint8_t mid) {
    switch (mid) {
        case 0x21:
            return {{Param(0x09, {0x00, 0x64, 0x00, 0x0F})}};
        case 0x1F:
            return {{Param(kPidLongSender, {0x14}), Param(0xB3, {0x00})}};
        case 0x60:
            return {{}, {Param(0x91, {0x01})}};
        case 0x62:
            return {{}};
        default:
            return {{Param(kPidNumber, {0x00})}};
    }
}

std::string DescribeParams(const std::vector<FrameParam>& params) {
    std::string text;
    for (const FrameParam& param : params) {
        text += Format(" %02X/%u", param.pid, param.size);
    }
    return text.empty() ? " none" : text;
}

std::uint16_t BigEndian16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) << 8 |
                                      static_cast<unsigned char>(bytes[at + 1]));
}

bool AllZero(const Bytes& value) {
    return std::all_of(value.begin(), value.end(), [](std::uint8_t b) { return b == 0; });
}

}  // namespace

MessageAssembler::Step MessageAssembler::Add(std::string_view frame) {
    Step step;
    const unsigned position = static_cast<unsigned char>(frame[0]) & 0xF0;
    step.mid = static_cast<std::uint8_t>(frame[1]);
    const std::size_t fLen = BigEndian16(frame, 2);
    const bool hasLen = (position == 0xC0 || position == 0x80) && fLen > 0;
    const std::uint32_t len = hasLen ? BigEndian16(frame, 4) : 0;
    std::vector<FrameParam> params;
    std::uint32_t wire = 0;
    for (std::size_t at = hasLen ? 6 : 4; at + 2 <= fLen + 4;) {
        FrameParam param;
        param.pid = static_cast<std::uint8_t>(frame[at]);
        param.size = static_cast<std::uint8_t>(frame[at + 1]);
        const auto* begin = reinterpret_cast<const std::uint8_t*>(frame.data()) + at + 2;
        param.value.assign(begin, begin + param.size);
        wire += 2u + param.size;
        at += 2u + param.size;
        params.push_back(std::move(param));
    }

    if ((position == 0xC0 || position == 0x80) && active_) {
        step.problem =
            Format("message %02X left incomplete when message %02X began", mid_, step.mid);
        active_ = false;
        return step;
    }
    if (position == 0xC0) {
        if (len != wire) {
            step.problem = Format("LEN %u but the parameters take %u bytes", len, wire);
            return step;
        }
        step.complete = true;
        step.params = std::move(params);
        return step;
    }
    if (position == 0x80) {
        active_ = true;
        mid_ = step.mid;
        total_ = len;
        received_ = wire;
        params_ = std::move(params);
        return step;
    }
    if (!active_) {
        step.problem = Format("continuation frame of %02X without a first frame", step.mid);
        return step;
    }
    if (step.mid != mid_) {
        step.problem = Format("frame of %02X inside message %02X", step.mid, mid_);
        active_ = false;
        return step;
    }
    received_ += wire;
    std::move(params.begin(), params.end(), std::back_inserter(params_));
    if (position == 0x40) {
        active_ = false;
        if (received_ != total_) {
            step.problem = Format("LEN %u but the frames carried %u bytes", total_, received_);
            return step;
        }
        step.complete = true;
        step.params = std::move(params_);
        params_.clear();
    }
    return step;
}

const std::map<int, Bytes>& DeviceDialList::Records(char kind) const {
    static const std::map<int, Bytes> kNone;
    const KindInfo* info = ByLetter(kind);
    return info ? records_[static_cast<std::size_t>(info - kKinds.data())] : kNone;
}

std::map<int, Bytes>* DeviceDialList::Kind(char kind) {
    const KindInfo* info = ByLetter(kind);
    return info ? &records_[static_cast<std::size_t>(info - kKinds.data())] : nullptr;
}

void DeviceDialList::Store(char kind, int number, Bytes value) {
    if (std::map<int, Bytes>* records = Kind(kind)) {
        (*records)[number] = std::move(value);
    }
}

void DeviceDialList::Clear() {
    for (auto& records : records_) {
        records.clear();
    }
}

std::vector<std::vector<FrameParam>> DeviceDialList::ListUnits(std::uint8_t mid) const {
    const KindInfo* kind = ByMid(mid);
    std::vector<std::vector<FrameParam>> units;
    for (const auto& [number, value] : Records(kind->letter)) {
        std::vector<FrameParam> unit;
        if (kind->letter != 'N') {
            unit.push_back(Param(kPidNumber, {static_cast<std::uint8_t>(number)}));
        }
        unit.push_back(Param(kind->dataPid, value));
        units.push_back(std::move(unit));
    }
    if (kind->letter == 'N' && units.empty()) {
        // The sender slot always answers, empty or not.
        units.push_back({Param(kind->dataPid, Bytes(34, 0))});
    }
    return units;
}

FrameRecord DeviceDialList::InformationMessage(std::uint8_t mid) const {
    FrameRecord message;
    message.mid = mid;
    for (const auto& unit : ListUnits(mid)) {
        for (const FrameParam& param : unit) {
            message.len = static_cast<std::uint16_t>(message.len + ParamWireSize(param));
            message.params.push_back(param);
        }
    }
    message.fLen = static_cast<std::uint16_t>(message.len + 2);
    return message;
}

std::string DeviceDialList::Register(std::uint8_t mid, const std::vector<FrameParam>& params,
                                     const DeviceConfig& config) {
    const KindInfo* kind = ByMid(mid);
    std::map<int, Bytes> incoming;
    if (kind->letter == 'N') {
        const std::size_t longest = config.longSender ? 42 : 34;
        if (params.size() != 1 || params[0].pid != kind->dataPid ||
            (params[0].size != 34 && params[0].size != longest)) {
            return "sender registration with parameters" + DescribeParams(params);
        }
        // The device has one sender slot: an all-zero name empties it.
        if (AllZero(params[0].value)) {
            Kind('N')->clear();
            return "";
        }
        incoming[1] = params[0].value;
    } else {
        const int highest = kind->letter == 'S'   ? (config.extended ? 200 : 60)
                            : kind->letter == 'G' ? 20
                                                  : (config.extended ? 12 : 3);
        const std::size_t size = kind->letter == 'S'   ? (config.extended ? 104 : 86)
                                 : kind->letter == 'G' ? (config.extended ? 59 : 42)
                                                       : 2;
        if (params.size() % 2 != 0) {
            return Format("registration %02X with an odd number of parameters (%u)", mid,
                          params.size());
        }
        for (std::size_t i = 0; i < params.size(); i += 2) {
            const FrameParam& number = params[i];
            const FrameParam& data = params[i + 1];
            if (number.pid != kPidNumber || number.size != 1) {
                return Format("registration %02X: parameter %u is %02X/%u, not a record number",
                              mid, i + 1, number.pid, number.size);
            }
            const int n = number.value[0];
            if (n < 1 || n > highest) {
                return Format("registration %02X: record %c%d outside 1..%d", mid, kind->letter, n,
                              highest);
            }
            if (data.pid != kind->dataPid || data.size != size) {
                return Format("registration %02X: record %c%d carries %02X/%u instead of %02X/%u",
                              mid, kind->letter, n, data.pid, data.size, kind->dataPid, size);
            }
            if (kind->letter == 'W') {
                const int target = data.value[1];
                const bool valid = (data.value[0] == 0 && target == 0) ||
                                   (data.value[0] == 1 && target >= 1 && target <= 200) ||
                                   (data.value[0] == 2 && target >= 1 && target <= 20);
                if (!valid) {
                    return Format("registration 77: W%d binds to kind %u number %d", n,
                                  data.value[0], target);
                }
            }
            if (!incoming.emplace(n, data.value).second) {
                return Format("registration %02X: record %c%d sent twice", mid, kind->letter, n);
            }
        }
    }
    std::map<int, Bytes>& records = *Kind(kind->letter);
    for (auto& [number, value] : incoming) {
        records[number] = std::move(value);
    }
    return "";
}

HandleResult DeviceDialList::Handle(std::uint8_t mid, const std::vector<FrameParam>& params,
                                    const DeviceConfig& config,
                                    std::optional<std::uint8_t> stopCause) {
    HandleResult result;
    MessageFrames answer(mid);
    const KindInfo* kind = ByMid(mid);
    const bool known = kind != nullptr || mid == 0x21 || mid == 0x1F;
    const bool registration = kind && kind->registration == mid;
    const std::uint8_t cause = stopCause.value_or(0);

    if (!known) {
        result.problem = Format("unknown message %02X", mid);
        answer.AppendUnit({Param(kPidStopCause, {kCauseUnknownMessage})});
    } else if (!registration) {
        const auto expected = ExpectedRequest(mid);
        if (std::find(expected.begin(), expected.end(), params) == expected.end()) {
            result.problem =
                Format("request %02X with unexpected parameters", mid) + DescribeParams(params);
        }
    }

    if (!known) {
        // answered above
    } else if (cause != 0 && mid != 0x21) {
        answer.AppendUnit({Param(kPidStopCause, {cause})});
    } else if (mid == 0x21) {
        answer.AppendUnit({Param(kPidStopCause, {cause})});
    } else if (mid == 0x1F) {
        answer.AppendUnit(
            {Param(kPidLongSender, {config.longSender ? std::uint8_t{20} : std::uint8_t{16}})});
    } else if (kind->info == mid) {
        for (const auto& unit : ListUnits(mid)) {
            answer.AppendUnit(unit);
        }
    } else if (kind->cancellation == mid) {
        Kind(kind->letter)->clear();
        result.cancelled = true;
        answer.AppendUnit({Param(kPidStopCause, {0})});
    } else {
        std::string refused = Register(mid, params, config);
        result.registered = refused.empty();
        answer.AppendUnit(
            {Param(kPidStopCause, {refused.empty() ? std::uint8_t{0} : kCauseRefused})});
        if (!refused.empty()) {
            result.problem = std::move(refused);
        }
    }

    for (const FrameRecord& frame : answer.Frames()) {
        result.answerFrames.push_back(SerializeFrame(frame));
    }
    return result;
}

}  // namespace dialvane::emu
