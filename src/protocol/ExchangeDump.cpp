#include "protocol/ExchangeDump.h"

#include "protocol/ExchangeEngine.h"
#include "support/Format.h"

namespace dialvane {

std::string FrameDumpText(const FrameRecord& frame) {
    std::string text = Format("JTYPE[%s] MID[%s] FRM_LEN[%d] LENGTH[%d] PRM_CNT[%d] ",
                              ExchangeEngine::Hex2(frame.jtype), ExchangeEngine::Hex2(frame.mid),
                              frame.fLen, frame.len, frame.params.size());
    int number = 1;
    for (const FrameParam& param : frame.params) {
        text += Format("\r\nParam No.%d: PID[%s] SIZE[%d] VALUE[%s] ", number++,
                       ExchangeEngine::Hex2(param.pid), param.size, "");
        for (std::uint8_t byte : param.value) {
            text += ExchangeEngine::Hex2(byte);
            text += ' ';
        }
    }
    return text;
}

void LogFrameDump(const FrameRecord& frame, LogCategory process) {
    if (LogEnabled(process) && LogEnabled(LogCategory::LogFunc_Info)) {
        LogWrite(FrameDumpText(frame), process, LogCategory::LogFunc_Info, 'L');
    }
}

std::string DumpAscii(std::string_view prefix, const std::uint8_t* bytes, std::size_t count) {
    std::string text(prefix);
    for (std::size_t i = 0; i < count; ++i) {
        switch (bytes[i]) {
            case 0x01:
                text += "<SOH>";
                break;
            case 0x0A:
                text += "<LF>";
                break;
            case 0x0C:
                text += "<FF>";
                break;
            case 0x0D:
                text += "<CR>";
                break;
            case 0x1B:
                text += "<ESC>";
                break;
            case 0x1D:
                text += "<GS>";
                break;
            default:
                text += static_cast<char>(bytes[i]);
                break;
        }
    }
    return text;
}

std::string DumpBinary(std::string_view prefix, const std::uint8_t* bytes, std::size_t count) {
    std::string text(prefix);
    text.reserve(prefix.size() + count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        text += ExchangeEngine::Hex2(bytes[i]);
        text += '.';
    }
    return text;
}

}  // namespace dialvane
