#include "protocol/Frame.h"

#include <algorithm>
#include <stdexcept>

namespace dialvane {
namespace {

// The device keeps a few multi-byte values in another byte order than they are stored in.
Bytes DeviceByteOrder(std::uint8_t pid, Bytes value) {
    switch (pid) {
        case 0x0B:
            if (value.size() >= 6) {
                std::swap(value[0], value[2]);
                std::swap(value[3], value[5]);
            }
            break;
        case 0x09:
            if (value.size() >= 4) {
                std::swap(value[0], value[1]);
                std::swap(value[2], value[3]);
            }
            break;
        case 0x30:
        case 0x31:
        case 0x32:
        case 0x80:
            std::reverse(value.begin(), value.end());
            break;
        default:
            break;
    }
    return value;
}

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

}  // namespace

FrameParam FrameParam::Make(std::uint8_t pid, Bytes value) {
    if (value.size() > 0xFF) {
        throw std::length_error("frame parameter value longer than 255 bytes");
    }
    FrameParam param;
    param.pid = pid;
    param.size = static_cast<std::uint8_t>(value.size());
    param.value = std::move(value);
    return param;
}

Bytes SerializeFrame(const FrameRecord& frame) {
    Bytes out(static_cast<std::size_t>(frame.fLen) + 4, 0);
    out[0] = frame.jtype;
    out[1] = frame.mid;
    out[2] = static_cast<std::uint8_t>(frame.fLen >> 8);
    out[3] = static_cast<std::uint8_t>(frame.fLen & 0xFF);
    if (frame.fLen == 0) {
        return out;
    }
    std::size_t pos = 4;
    if (frame.HasLenField()) {
        out[pos++] = static_cast<std::uint8_t>(frame.len >> 8);
        if (pos < out.size()) {
            out[pos++] = static_cast<std::uint8_t>(frame.len & 0xFF);
        }
    }
    const std::size_t room = out.size() - pos;
    std::size_t total = 0;
    for (const FrameParam& param : frame.params) {
        if (pos >= out.size()) {
            break;
        }
        out[pos++] = param.pid;
        if (pos < out.size()) {
            out[pos++] = param.size;
        }
        Bytes value = param.value;
        value.resize(param.size, 0);
        value = DeviceByteOrder(param.pid, std::move(value));
        const std::size_t count = std::min(value.size(), out.size() - pos);
        std::copy_n(value.begin(), count, out.begin() + static_cast<std::ptrdiff_t>(pos));
        pos += count;
        total += ParamWireSize(param);
        if (room <= total) {
            break;
        }
    }
    return out;
}

FrameParseResult ParseFrame(std::span<const std::uint8_t> bytes) {
    FrameParseResult result;
    if (bytes.size() < 4) {
        result.error = FrameParseError::TooShort;
        return result;
    }
    FrameRecord& frame = result.frame;
    frame.jtype = bytes[0];
    frame.mid = bytes[1];
    frame.fLen = ReadU16(bytes, 2);
    // Any other position would be taken for a continuation and complete a message it never
    // belonged to.
    if (!frame.PositionDefined()) {
        result.error = FrameParseError::BadPosition;
        return result;
    }
    if (static_cast<std::size_t>(frame.fLen) + 4 > bytes.size()) {
        result.error = FrameParseError::LengthPastEnd;
        return result;
    }
    if (frame.fLen == 0) {
        frame.len = 0;
        return result;
    }
    std::size_t budget = frame.fLen;
    std::size_t pos = 4;
    const std::uint8_t position = frame.Position();
    if (position != kFrameMiddle && position != kFrameLast) {
        if (frame.fLen < 2) {
            result.error = FrameParseError::TooShort;
            return result;
        }
        frame.len = ReadU16(bytes, 4);
        pos = 6;
        if (frame.len != 0) {
            budget -= 2;
        }
    } else {
        frame.len = frame.fLen;
    }
    if (frame.len == 0) {
        return result;
    }
    // A parameter may not run past the bytes that arrived; the budget from F_LEN only says
    // when to stop.
    std::size_t total = 0;
    while (frame.params.size() < kMaxParamsPerFrame && total < budget) {
        if (pos + 2 > bytes.size()) {
            result.error = FrameParseError::ParamPastEnd;
            return result;
        }
        FrameParam param;
        param.pid = bytes[pos];
        param.size = bytes[pos + 1];
        pos += 2;
        if (pos + param.size > bytes.size()) {
            result.error = FrameParseError::ParamPastEnd;
            return result;
        }
        param.value.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                           bytes.begin() + static_cast<std::ptrdiff_t>(pos + param.size));
        pos += param.size;
        total += ParamWireSize(param);
        frame.params.push_back(std::move(param));
    }
    return result;
}

void MessageCount::Start(const FrameRecord& first) {
    total = first.len;
    cur = first.fLen;
}

void MessageCount::Add(const FrameRecord& continuation) {
    cur += continuation.fLen;
}

MessageFrames::MessageFrames(std::uint8_t mid) : mid_(mid) {
    FrameRecord first;
    first.jtype = kFrameOnly;
    first.mid = mid;
    first.fLen = 2;
    first.len = 0;
    frames_.push_back(std::move(first));
}

std::size_t MessageFrames::AppendUnit(const std::vector<FrameParam>& unit) {
    std::size_t size = 0;
    for (const FrameParam& param : unit) {
        size += ParamWireSize(param);
    }
    // The first frame also carries the 2-byte LEN field.
    if (size + 2 > kMaxBuiltFrameLength) {
        throw std::length_error("record does not fit one frame");
    }
    if (static_cast<std::size_t>(frames_.front().len) + size > 0xFFFF) {
        throw std::length_error("message longer than its 16-bit length");
    }
    FrameRecord* current = &frames_.back();
    if (current->fLen + size > kMaxBuiltFrameLength) {
        const std::uint8_t jobType = current->JobType();
        if (current->Position() == kFrameOnly) {
            current->jtype = kFrameFirst | jobType;
        } else if (current->Position() == kFrameLast) {
            current->jtype = kFrameMiddle | jobType;
        }
        FrameRecord next;
        next.jtype = kFrameLast | jobType;
        next.mid = mid_;
        next.fLen = 0;
        next.len = 0;
        frames_.push_back(std::move(next));
        current = &frames_.back();
    }
    current->params.insert(current->params.end(), unit.begin(), unit.end());
    current->fLen = static_cast<std::uint16_t>(current->fLen + size);
    frames_.front().len = static_cast<std::uint16_t>(frames_.front().len + size);
    return size;
}

}  // namespace dialvane
