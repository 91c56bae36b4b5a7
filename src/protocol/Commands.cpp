#include "protocol/Commands.h"

#include "protocol/Envelope.h"
#include "protocol/FailureReport.h"
#include "protocol/FailureText.h"
#include "support/DiagnosticLog.h"
#include "support/Format.h"

namespace dialvane {
namespace {

// Issue and success lines of the commands, and their failure lines.
constexpr int kCommandLevel = 3;
constexpr int kFailureLevel = 1;

void Log(std::string_view text, LogCategory kind) {
    LogWrite(text, LogCategory::LogProc_QNLCMD, kind, 'L');
}

}  // namespace

void CommandLayer::ResetFlags() {
    channelEstablished_ = false;
    faxOccupied_ = false;
    occupyUnanswered_ = false;
    userStopped_ = false;
}

bool CommandLayer::OpenChannel() {
    IDeviceChannel* channel = engine_.Channel();
    if (channel == nullptr) {
        ReportFailure(engine_, ResponseStatus::QNL_ERR_DEV);
        return false;
    }
    engine_.ClearModelName();
    if (channel->Open()) {
        return true;
    }
    const ChannelOpenFailure failure = channel->OpenFailure().value_or(ChannelOpenFailure{});
    if (failure.stopped) {
        ReportFailure(engine_, ResponseStatus::QNL_ABORT);
        return false;
    }
    if (failure.timedOut) {
        engine_.Progress().ShowStatus(Text(Msg::CommCannotConnect), kFailureLevel);
    }
    const std::string text = failure.cause.empty() ? Text(failure.message)
                                                   : Text(Msg::CommFailureWithCause,
                                                          Text(failure.message), failure.cause);
    Log(text, LogCategory::LogFunc_Error);
    ShowFailureMessage(engine_, text, PromptIcon::Stop);
    engine_.Progress().ShowStatus(text, kFailureLevel);
    return false;
}

bool CommandLayer::EstablishChannel() {
    ReportFailure(engine_, ResponseStatus::QNL_NONE);
    if (!OpenChannel()) {
        return false;
    }
    IProgress& progress = engine_.Progress();
    const Bytes command = BuildInquireName();
    Log("\r\n//=== チャネル確立コマンド発行", LogCategory::LogFunc_Start);
    progress.ShowStatus("チャネル確立コマンド発行", kCommandLevel);
    engine_.ShowTransmitDump(command);
    if (engine_.DataSend(command) == 0) {
        progress.ShowStatus("デバイス異常により中断", kFailureLevel);
        ReportFailure(engine_, ResponseStatus::QNL_ERR_DEV);
        return false;
    }
    if (engine_.QNL_Response(ResponseStatus::QNL_ANS)) {
        channelEstablished_ = true;
        Log("//=== チャネル確立成功", LogCategory::LogFunc_End);
        progress.ShowStatus("チャネル確立成功", kCommandLevel);
        return true;
    }
    ReportFailure(engine_, engine_.LastWaitStatus());
    Log("//=== チャネル確立失敗", LogCategory::LogFunc_Error);
    progress.ShowStatus(Text(Msg::CommChannelFailure), kFailureLevel);
    return false;
}

bool CommandLayer::ProbeNopAndOccupyStart() {
    IProgress& progress = engine_.Progress();
    const EngineSettings& settings = engine_.Settings();

    const Bytes nop = BuildNop(engine_.Ids());
    Log("\r\n//=== NOPコマンド発行", LogCategory::LogFunc_Start);
    progress.ShowStatus("NOPコマンド発行", kCommandLevel);
    engine_.ShowTransmitDump(nop);
    if (engine_.DataSend(nop) == 0) {
        ReportFailure(engine_, ResponseStatus::QNL_ERR_DEV);
        return false;
    }
    const bool answered = engine_.QNL_Response(ResponseStatus::QNL_NACK);
    const ResponseStatus nopStatus = engine_.LastWaitStatus();
    const bool attached =
        answered && (nopStatus == ResponseStatus::QNL_ACK || engine_.NackCode() == kNackFaxAccess);
    if (!attached) {
        ReportFailure(engine_, nopStatus);
        Log("//=== NOPコマンド失敗(FAX未接続)", LogCategory::LogFunc_Error);
        progress.ShowStatus(Text(Msg::CommFaxUnjoint), kFailureLevel);
        return false;
    }
    Log("//=== NOPコマンド成功", LogCategory::LogFunc_End);

    const Bytes occupy = BuildOccupyStart(engine_.Ids());
    const int attempts = settings.env.openRetryCount;
    ResponseStatus status = nopStatus;
    for (int k = 1; k <= attempts; ++k) {
        Log("\r\n" + Format("//=== FAX占有開始コマンド発行 (%u回目)", k),
            LogCategory::LogFunc_Start);
        progress.ShowStatus(Format("FAX占有開始コマンド発行 (%u回目)", k), kCommandLevel);
        engine_.ShowTransmitDump(occupy);
        if (engine_.DataSend(occupy) == 0) {
            ReportFailure(engine_, ResponseStatus::QNL_ERR_DEV);
            return false;
        }
        if (engine_.QNL_Response(ResponseStatus::QNL_ACK)) {
            faxOccupied_ = true;
            Log("//=== FAX占有開始成功", LogCategory::LogFunc_End);
            progress.ShowStatus("FAX占有開始成功", kCommandLevel);
            return true;
        }
        status = engine_.LastWaitStatus();
        if (status != ResponseStatus::QNL_NACK || engine_.NackCode() != kNackBusy) {
            // Only a refusal says the fax was not taken; after any other answer it may be,
            // unless the connection is gone (and with it the occupation).
            occupyUnanswered_ =
                status != ResponseStatus::QNL_NACK && status != ResponseStatus::QNL_ERR_DEV;
            break;
        }
        if (k < attempts) {
            engine_.Pause(settings.env.openRetryTime);
        }
    }
    ReportFailure(engine_, status);
    Log("//=== FAX占有開始失敗", LogCategory::LogFunc_Error);
    progress.ShowStatus(Text(Msg::CommOccupyStartFailure), kFailureLevel);
    return false;
}

bool CommandLayer::OccupyEnd() {
    if (!ReleaseOwed()) {
        return false;
    }
    IProgress& progress = engine_.Progress();
    const Bytes command = BuildOccupyEnd(engine_.Ids());
    Log("\r\n//=== FAX占有終了コマンド発行", LogCategory::LogFunc_Start);
    progress.ShowStatus("FAX占有終了コマンド発行", kCommandLevel);
    engine_.ShowTransmitDump(command);
    if (engine_.DataSend(command) == 0) {
        ReportFailure(engine_, ResponseStatus::QNL_ERR_DEV);
        return false;
    }
    faxOccupied_ = false;
    occupyUnanswered_ = false;
    bool released;
    try {
        released = engine_.QNL_Response(ResponseStatus::QNL_ACK);
    } catch (const TransferError&) {
        released = false;
    }
    if (released) {
        Log("//=== FAX占有終了成功", LogCategory::LogFunc_End);
        progress.ShowStatus("FAX占有終了成功", kCommandLevel);
        return true;
    }
    Log("//=== FAX占有終了失敗", LogCategory::LogFunc_Error);
    progress.ShowStatus(Text(Msg::CommOccupyEndFailure), kFailureLevel);
    if (!userStopped_) {
        ReportFailure(engine_, engine_.LastWaitStatus());
    }
    return false;
}

bool CommandLayer::Disconnect() {
    if (IDeviceChannel* channel = engine_.Channel(); channel != nullptr) {
        channel->Close();
    }
    channelEstablished_ = false;
    return true;
}

bool CommandLayer::ChannelTest() {
    if (!OpenChannel()) {
        return false;
    }
    const Bytes command = BuildInquireName();
    Log("\r\n//=== チャネル確立コマンド発行", LogCategory::LogFunc_Start);
    bool ok = engine_.DataSend(command) != 0;
    if (ok) {
        try {
            ok = engine_.QNL_Response(ResponseStatus::QNL_ANS);
        } catch (const TransferError&) {
            ok = false;
        }
    }
    Log(ok ? "//=== チャネル確立成功" : "//=== チャネル確立失敗",
        ok ? LogCategory::LogFunc_End : LogCategory::LogFunc_Error);
    // The start-up inquiry only wants the name; the connection is made again for a transfer.
    if (IDeviceChannel* channel = engine_.Channel(); channel != nullptr && channel->IsNetwork()) {
        channel->Close();
    }
    return ok;
}

}  // namespace dialvane
