#include "protocol/FailureReport.h"

#include "protocol/FailureText.h"
#include "support/DiagnosticLog.h"

namespace dialvane {
namespace {

// Progress-view level of the failure lines.
constexpr int kFailureLevel = 1;

void Log(std::string_view text, LogCategory kind) {
    LogWrite(text, LogCategory::LogProc_QNLCMD, kind, 'L');
}

}  // namespace

void ShowFailureMessage(ExchangeEngine& engine, const std::string& text, PromptIcon icon) {
    engine.lastFailureText = text;
    if (!engine.messageBoxAllowed) {
        return;
    }
    engine.messageBoxAllowed = false;
    switch (engine.Display()) {
        case FailureDisplay::Show: {
            IProgress& progress = engine.Progress();
            progress.SetButtonsEnabled(false);
            PromptRequest box;
            box.text = text;
            box.title = Text(Msg::AppTitle);
            box.buttons = PromptButtons::Ok;
            box.icon = icon;
            box.defaultAnswer = PromptAnswer::Ok;
            box.onTop = true;
            engine.Ask(box);
            progress.SetButtonsEnabled(true);
            break;
        }
        case FailureDisplay::StoreAsResult:
            engine.resultMessage = text;
            break;
        case FailureDisplay::Drop:
            break;
    }
}

void ReportFailure(ExchangeEngine& engine, ResponseStatus status) {
    if (status == ResponseStatus::QNL_NONE) {
        engine.messageBoxAllowed = true;
        return;
    }
    const std::uint16_t code = engine.NackCode();
    std::string text = FailureText(status, code);
    if (status == ResponseStatus::QNL_NACK) {
        engine.nackSeen = IsKnownNackCode(code);
    }
    IDeviceChannel* channel = engine.Channel();
    if (status == ResponseStatus::QNL_ERR_DEV && channel != nullptr &&
        channel->ForcedDisconnect()) {
        // The device dropped the connection: say so rather than blame the cabling.
        text = Text(channel->IsNetwork() ? Msg::CommDisconnected : Msg::UsbDisconnected);
    }
    ShowFailureMessage(
        engine, text,
        status == ResponseStatus::QNL_ABORT ? PromptIcon::Information : PromptIcon::Stop);
    IProgress& progress = engine.Progress();
    progress.SetTransferPosition(0);
    progress.ShowStatus(text, kFailureLevel);
    Log(FailureLogLine(status, text), LogCategory::LogFunc_Error);
}

}  // namespace dialvane
