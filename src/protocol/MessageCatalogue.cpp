#include "protocol/MessageCatalogue.h"

#include <array>
#include <utility>

#include "support/Messages.h"

namespace dialvane {
namespace {

struct CatalogueEntry {
    std::uint8_t mid;
    Msg name;
};

// Searched in this order; the first entry with the MID names it.
constexpr std::array<CatalogueEntry, kCatalogueSize> kCatalogue = {{
    {0x00, Msg::MidInitialization},
    {0x01, Msg::MidReset},
    {0x03, Msg::MidModeChange},
    {0x18, Msg::MidPrnStatus},
    {0x19, Msg::MidPrinterStatus},
    {0x1A, Msg::MidAnsweringModeChange},
    {0x1B, Msg::MidFaxStatus},
    {0x20, Msg::MidSystemParamWrite},
    {0x21, Msg::MidSystemParamRead},
    {0x22, Msg::MidDataWrite},
    {0x24, Msg::MidDataRead},
    {0x25, Msg::MidDataReadAck},
    {0x31, Msg::MidCurrentTxJobInfo},
    {0x32, Msg::MidDelayedTxJobInfo},
    {0x33, Msg::MidDelayedTxJobCancel},
    {0x34, Msg::MidDelayedPrintJobInfo},
    {0x35, Msg::MidDelayedPrintJobCancel},
    {0x36, Msg::MidTxJobInfo},
    {0x41, Msg::MidPaperTrayStatus},
    {0x43, Msg::MidFaxMemoryStatus},
    {0x44, Msg::MidRomInfo},
    {0x52, Msg::MidG3IdInfo},
    {0x53, Msg::MidG3IdRegister},
    {0x54, Msg::MidG3IdCancel},
    {0x5B, Msg::MidTime},
    {0x5C, Msg::MidTimeRegister},
    {0x60, Msg::MidPersonalNumberInfo},
    {0x61, Msg::MidPersonalNumberRegister},
    {0x62, Msg::MidPersonalNumberCancel},
    {0x76, Msg::MidOneTouchInfo},
    {0x77, Msg::MidOneTouchRegister},
    {0x78, Msg::MidOneTouchCancel},
    {0x79, Msg::MidGroupDialInfo},
    {0x7A, Msg::MidGroupDialRegister},
    {0x7B, Msg::MidGroupDialCancel},
    {0x7C, Msg::MidSpeedDialInfo},
    {0x7D, Msg::MidSpeedDialRegister},
    {0x7E, Msg::MidSpeedDialCancel},
    {0x80, Msg::MidJobStart},
    {0x81, Msg::MidJobStartNotify},
    {0x82, Msg::MidJobEndNotify},
    {0x83, Msg::MidJobStop},
    {0x84, Msg::MidJobHold},
    {0x85, Msg::MidJobRestartNotify},
    {0x8F, Msg::MidJobStatus},
    {0x90, Msg::MidJobRegister},
    {0x91, Msg::MidJobCancel},
    {0xA0, Msg::MidWritePageStart},
    {0xA1, Msg::MidWritePageStop},
    {0xA3, Msg::MidReadPageStart},
    {0xA5, Msg::MidReadPageStop},
    {0xB0, Msg::MidTelJobDialing},
    {0xE9, Msg::MidDownloadStart},
}};

struct Receivable {
    std::uint8_t jobType;
    std::uint8_t mid;
};

constexpr std::array<Receivable, 32> kReceivable = {{
    {0, 0x01}, {0, 0x00}, {0, 0x44}, {0, 0xE9}, {0, 0xEA}, {0, 0x1B}, {0, 0x1F}, {0, 0x41},
    {0, 0x03}, {0, 0x21}, {0, 0x7C}, {0, 0x7D}, {0, 0x7E}, {0, 0x79}, {0, 0x7A}, {0, 0x7B},
    {0, 0x76}, {0, 0x77}, {0, 0x78}, {0, 0x52}, {0, 0x53}, {0, 0x54}, {0, 0x60}, {0, 0x61},
    {0, 0x62}, {0, 0x25}, {0, 0x36}, {0, 0x20}, {7, 0x80}, {7, 0x81}, {7, 0x8F}, {7, 0x82},
}};

FrameRecord RequestFrame(std::uint8_t mid, std::vector<FrameParam> params) {
    FrameRecord frame;
    frame.jtype = kFrameOnly;
    frame.mid = mid;
    std::size_t len = 0;
    for (const FrameParam& param : params) {
        len += ParamWireSize(param);
    }
    frame.len = static_cast<std::uint16_t>(len);
    // A request without parameters goes out as the bare 4-byte header.
    frame.fLen = static_cast<std::uint16_t>(len == 0 ? 0 : len + 2);
    frame.params = std::move(params);
    return frame;
}

}  // namespace

std::string MessageName(std::uint8_t mid) {
    for (const CatalogueEntry& entry : kCatalogue) {
        if (entry.mid == mid) {
            return Text(entry.name);
        }
    }
    return {};
}

bool IsReceivable(std::uint8_t jobType, std::uint8_t mid) {
    for (const Receivable& entry : kReceivable) {
        if (entry.jobType == jobType && entry.mid == mid) {
            return true;
        }
    }
    return false;
}

std::optional<FrameRecord> BuiltInRequest(std::uint8_t mid, bool senderFlag) {
    switch (mid) {
        case kMidBindingInfo:
        case kMidBindingCancel:
        case kMidGroupInfo:
        case kMidGroupCancel:
        case kMidSpeedDialInfo:
        case kMidSpeedDialCancel:
            return RequestFrame(mid, {FrameParam::Make(0x60, {0x00})});
        case kMidFaxCapability:
            return RequestFrame(mid,
                                {FrameParam::Make(0xB2, {0x14}), FrameParam::Make(0xB3, {0x00})});
        case kMidSystemParamRead:
            return RequestFrame(mid, {FrameParam::Make(0x09, {0x64, 0x00, 0x0F, 0x00})});
        case kMidSenderInfo:
            if (senderFlag) {
                return RequestFrame(mid, {FrameParam::Make(0x91, {0x01})});
            }
            return RequestFrame(mid, {});
        case kMidSenderCancel:
            return RequestFrame(mid, {});
        default:
            return std::nullopt;
    }
}

bool HasBuiltInRequest(std::uint8_t mid) {
    return BuiltInRequest(mid, false).has_value();
}

}  // namespace dialvane
