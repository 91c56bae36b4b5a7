#include "protocol/Envelope.h"

#include <optional>
#include <string>
#include <vector>

namespace dialvane {

std::string Hex4(int value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto bits = static_cast<unsigned>(value) & 0xFFFFu;
    std::string text(4, '0');
    for (int i = 3, shift = 0; i >= 0; --i, shift += 4) {
        text[static_cast<std::size_t>(i)] = kDigits[(bits >> shift) & 0xF];
    }
    return text;
}

ToolIds ToolIds::FromNumbers(int connectNo, int openTimeout, int readTimeout) {
    return ToolIds{Hex4(connectNo), Hex4(openTimeout), Hex4(readTimeout)};
}

Bytes BuildCommand(std::string_view templ, std::span<const std::uint8_t> data, const ToolIds& ids) {
    std::vector<std::string> segments(1);
    std::optional<std::size_t> checksumSegment;
    std::optional<std::size_t> countSegment;
    bool withData = false;
    for (std::size_t i = 0; i < templ.size(); ++i) {
        const char c = templ[i];
        const char code = i + 1 < templ.size() ? templ[i + 1] : '\0';
        if (c != '%' || std::string_view("NTDSB").find(code) == std::string_view::npos ||
            code == '\0') {
            segments.back() += c;
            continue;
        }
        std::string& before = segments.back();
        switch (code) {
            case 'N':
                before += ids.connectNo;
                break;
            case 'T':
                before += before == "0001" ? ids.openTimeout : ids.readTimeout;
                break;
            case 'D':
                withData = true;
                break;
            case 'S':
                checksumSegment = segments.size() - 1;
                break;
            case 'B':
                countSegment = segments.size() - 1;
                break;
        }
        segments.emplace_back();
        ++i;
    }

    Bytes payload;
    if (withData) {
        payload.assign(data.begin(), data.end());
        if (payload.size() % 2 != 0) {
            payload.push_back(0x00);
        }
    }

    if (checksumSegment) {
        std::string counted;
        for (std::size_t s = *checksumSegment + 1; s < segments.size(); ++s) {
            counted += segments[s];
        }
        if (!counted.empty()) {
            counted.erase(0, 1);  // the "}" closing the header
        }
        unsigned long long sum = 0;
        for (const char c : counted) {
            sum += static_cast<unsigned char>(c);
        }
        for (const std::uint8_t b : payload) {
            sum += b;
        }
        segments[*checksumSegment] += std::to_string(sum);
        if (countSegment) {
            segments[*countSegment] += std::to_string(counted.size() + payload.size());
        }
    }

    Bytes out;
    const bool wrapped = templ != kInquireName;
    if (wrapped) {
        out.assign(kLanguageSwitch.begin(), kLanguageSwitch.end());
    }
    for (const std::string& segment : segments) {
        out.insert(out.end(), segment.begin(), segment.end());
    }
    out.insert(out.end(), payload.begin(), payload.end());
    if (wrapped) {
        out.push_back(0x1B);
        out.push_back(0x01);
    }
    return out;
}

Bytes BuildInquireName() {
    return BuildCommand(kInquireName, {}, ToolIds{});
}

Bytes BuildNop(const ToolIds& ids) {
    return BuildCommand(kTemplateNop, {}, ids);
}

Bytes BuildOccupyStart(const ToolIds& ids) {
    return BuildCommand(kTemplateOccupyStart, {}, ids);
}

Bytes BuildOccupyEnd(const ToolIds& ids) {
    return BuildCommand(kTemplateOccupyEnd, {}, ids);
}

Bytes BuildFrameWrite(const FrameRecord& frame, const ToolIds& ids) {
    const Bytes bytes = SerializeFrame(frame);
    return BuildCommand(kTemplateFrameWrite, bytes, ids);
}

Bytes BuildFrameRead(const ToolIds& ids) {
    return BuildCommand(kTemplateFrameRead, {}, ids);
}

}  // namespace dialvane
