#include "protocol/FailureText.h"

#include "support/Format.h"

namespace dialvane {

std::optional<Msg> NackMessage(std::uint16_t code) {
    switch (code) {
        case 0xF9:
            return Msg::NackIllegalFormat;
        case 0xFA:
            return Msg::NackMfpError;
        case 0xFB:
            return Msg::NackReadTimeout;
        case 0xFC:
            return Msg::NackFaxBusy;
        case 0xFD:
            return Msg::NackFaxAccess;
        case 0xFE:
            return Msg::NackFirmware;
        case 0xFF:
            return Msg::NackTransmission;
        default:
            return std::nullopt;
    }
}

std::string FailureText(ResponseStatus status, std::uint16_t nackCode) {
    switch (status) {
        case ResponseStatus::QNL_NONE:
            return {};
        case ResponseStatus::QNL_ACK:
            return Text(Msg::QnlIllegalAck);
        case ResponseStatus::QNL_NACK:
            if (const std::optional<Msg> message = NackMessage(nackCode)) {
                return Text(*message);
            }
            return Text(Msg::NackUnknown, static_cast<unsigned>(nackCode));
        case ResponseStatus::QNL_RES:
            return Text(Msg::QnlUnexpectedFrame);
        case ResponseStatus::QNL_ANS:
            return Text(Msg::QnlChannelAccessFailed);
        case ResponseStatus::QNL_ERR_SIZE:
            return Text(Msg::QnlInvalidSize);
        case ResponseStatus::QNL_ERR_FORMAT:
            return Text(Msg::QnlInvalidSyntax);
        case ResponseStatus::QNL_ERR_CONNECT_NO:
            return Text(Msg::QnlRemoteError);
        case ResponseStatus::QNL_ERR_TIMEOUT:
        case ResponseStatus::QNL_ILL_CMD:
            return Text(Msg::QnlNoResponse);
        case ResponseStatus::QNL_ABORT:
            return Text(Msg::QnlStopped);
        case ResponseStatus::QNL_ERR_DEV:
            return Text(Msg::QnlDeviceNotConnected);
    }
    return Text(Msg::QnlOtherError);
}

std::string FailureLogLine(ResponseStatus status, const std::string& text) {
    return Format("QNLコマンド異常応答: STAT=%d(%s) %s", static_cast<int>(status),
                  StatusName(status), text);
}

}  // namespace dialvane
