// The receive side of the exchange engine: the receive thread's cycle, the classification of
// what arrived and the filing of answer frames into the receive slots.
#include <algorithm>

#include "protocol/ExchangeDump.h"
#include "protocol/ExchangeEngine.h"
#include "protocol/MessageCatalogue.h"
#include "support/DiagnosticLog.h"
#include "support/Format.h"

namespace dialvane {
namespace {

using Clock = std::chrono::steady_clock;

// A message that arrives slower than this many bytes per cycle is still being received.
constexpr std::size_t kReceiveChunk = ExchangeEngine::kReceiveBufferSize;

void Log(std::string_view text, LogCategory process, LogCategory kind) {
    LogWrite(text, process, kind, 'L');
}

template <typename... Args>
void LogF(LogCategory process, LogCategory kind, std::string_view format, const Args&... args) {
    LogWriteF(process, kind, 'L', format, args...);
}

}  // namespace

void ExchangeEngine::AfterPoll() {
    IDeviceChannel* channel = Channel();
    if (channel == nullptr) {
        return;
    }
    if (!channel->Connected()) {
        if (receiveEnabled_) {
            // The wait checks the connection whenever it wakes.
            std::lock_guard lock(stateMutex_);
            stateChanged_.notify_all();
        }
        if (!channel->IsNetwork()) {
            return;
        }
    }
    if (!sequenceRunning_ || !receiveEnabled_) {
        return;
    }
    {
        std::lock_guard lock(stateMutex_);
        if (Clock::now() < receiveFrom_) {
            return;
        }
    }
    ReceiveAndParse();
}

int ExchangeEngine::DataReceive(std::uint8_t* buffer, std::size_t capacity) {
    IDeviceChannel* channel = Channel();
    if (channel == nullptr) {
        return 0;
    }
    Log("<S>DataReceive Call", LogCategory::LogProc_DataReceive, LogCategory::LogFunc_Start);
    const int count = channel->Receive(buffer, capacity);
    if (count >= 0) {
        LogF(LogCategory::LogProc_DataReceive, LogCategory::LogFunc_End,
             "<E>DataReceive Return (MFP⇒PC %d[Bytes])", count);
    } else if (count != kChannelNoData) {
        LogF(LogCategory::LogProc_DataReceive, LogCategory::LogFunc_Error, "DataReceive Error(%d)",
             count);
    }
    return count;
}

void ExchangeEngine::ShowReceiveDump(const std::uint8_t* bytes, std::size_t count) {
    if (!Shows(kDumpLevel)) {
        return;
    }
    IProgress& progress = Progress();
    progress.ShowStatus(Format("データ受信[%dBytes]", count), kDumpLevel);
    const std::size_t shown = static_cast<std::size_t>(std::find(bytes, bytes + count, 0) - bytes);
    progress.ShowStatus(DumpAscii(" (Rx)Ascii:  ", bytes, shown), kDumpLevel);
    progress.ShowStatus(DumpBinary(" (Rx)Binary: ", bytes, shown), kDumpLevel);
}

void ExchangeEngine::ShowTransmitDump(const Bytes& bytes) {
    if (!Shows(kDumpLevel)) {
        return;
    }
    IProgress& progress = Progress();
    progress.ShowStatus(DumpBinary(" (Tx)Binary: ", bytes.data(), bytes.size()), kDumpLevel);
    progress.ShowStatus(DumpAscii(" (Tx)Ascii:  ", bytes.data(), bytes.size()), kDumpLevel);
}

void ExchangeEngine::ReceiveAndParse() {
    std::optional<AnswerClassification> answer = TakeAnswer();
    if (!answer) {
        return;
    }
    const ResponseStatus status = answer->status;
    if (status == ResponseStatus::QNL_RES) {
        FileAnswerFrame(*answer);
    } else if (status != ResponseStatus::QNL_ILL_CMD) {  // a failed receive is not an answer
        LogF(LogCategory::LogProc_QNL_CheckReceiveData, LogCategory::LogFunc_Error,
             "コマンド応答 STAT=%d(%s)", static_cast<int>(status), StatusName(status));
    }
    ApplyAnswer(std::move(*answer));
}

std::optional<AnswerClassification> ExchangeEngine::TakeAnswer() {
    std::lock_guard lock(receiveMutex_);
    std::array<std::uint8_t, kReceiveBufferSize> buffer;
    AnswerScan scan;
    while (true) {
        const int count = DataReceive(buffer.data(), buffer.size());
        if (count < 0) {
            AnswerClassification failed;
            failed.status = ResponseStatus::QNL_ILL_CMD;
            return failed;
        }
        if (count > 0) {
            pending_.append(reinterpret_cast<const char*>(buffer.data()),
                            static_cast<std::size_t>(count));
            ShowReceiveDump(buffer.data(), static_cast<std::size_t>(count));
        }
        if (pending_.empty()) {
            return std::nullopt;
        }
        scan = ScanAnswer(pending_, ids_.connectNo);
        if (scan.state != ScanState::Incomplete) {
            break;
        }
        // The rest of the answer may already be buffered behind a full receive.
        if (static_cast<std::size_t>(count) < kReceiveChunk) {
            return std::nullopt;
        }
    }
    pending_.erase(0, std::min(scan.consumed, pending_.size()));
    if (scan.answer.status == ResponseStatus::QNL_NONE) {
        scan.answer.status = ResponseStatus::QNL_ERR_FORMAT;
    }
    return std::move(scan.answer);
}

bool ExchangeEngine::ClassifyUnfinishedAnswer() {
    AnswerClassification answer;
    {
        std::lock_guard lock(receiveMutex_);
        std::array<std::uint8_t, kReceiveBufferSize> buffer;
        for (int count; (count = DataReceive(buffer.data(), buffer.size())) > 0;) {
            pending_.append(reinterpret_cast<const char*>(buffer.data()),
                            static_cast<std::size_t>(count));
        }
        if (pending_.empty()) {
            return false;
        }
        answer = ClassifyAnswer(pending_, ids_.connectNo);
        pending_.clear();
    }
    if (answer.status == ResponseStatus::QNL_NONE) {
        answer.status = ResponseStatus::QNL_ERR_FORMAT;
    }
    if (answer.status == ResponseStatus::QNL_RES) {
        FileAnswerFrame(answer);
    } else {
        Log(Format("コマンド応答 STAT=%d(%s)", static_cast<int>(answer.status),
                   StatusName(answer.status)),
            LogCategory::LogProc_QNL_CheckReceiveData, LogCategory::LogFunc_Error);
    }
    ApplyAnswer(answer);
    return true;
}

void ExchangeEngine::FileAnswerFrame(AnswerClassification& answer) {
    FrameParseResult parsed = ParseFrame(answer.frame ? std::span<const std::uint8_t>(*answer.frame)
                                                      : std::span<const std::uint8_t>());
    if (!parsed.ok()) {
        LogF(LogCategory::LogProc_QNL_CheckReceiveData, LogCategory::LogFunc_Error,
             "コマンド応答 STAT=%d(%s)", static_cast<int>(ResponseStatus::QNL_ERR_FORMAT),
             StatusName(ResponseStatus::QNL_ERR_FORMAT));
        answer.status = ResponseStatus::QNL_ERR_FORMAT;
        return;
    }
    const FrameRecord& frame = parsed.frame;
    LogF(LogCategory::LogProc_QNL_CheckReceiveData, LogCategory::LogFunc_Info,
         "フレーム応答 JTYPE[%x] MID[%x] F_LEN[%d] LEN[%d] ", frame.jtype, frame.mid, frame.fLen,
         frame.len);
    if (!SetRcvMessage(std::move(parsed.frame))) {
        const std::string text = Text(Msg::CommBufferOverflow);
        Log(text, LogCategory::LogProc_QNL_CheckReceiveData, LogCategory::LogFunc_Error);
        // Raised into the waiting run, which ends with it.
        std::lock_guard lock(stateMutex_);
        receiveError_ = text;
    }
}

bool ExchangeEngine::SetRcvMessage(FrameRecord frame) {
    std::erase_if(frame.params, [](const FrameParam& param) { return param.size == 0; });
    if (!IsReceivable(frame.JobType(), frame.mid)) {
        return false;
    }
    // The frame moves into its slot unless the log still dumps it below.
    const bool dumped =
        LogEnabled(LogCategory::LogProc_SetRcvMessage) && LogEnabled(LogCategory::LogFunc_Info);
    const std::uint8_t mid = frame.mid;
    const std::optional<int> index = slots_.File(dumped ? frame : std::move(frame));
    if (!index) {
        return false;
    }
    LogF(LogCategory::LogProc_SetRcvMessage, LogCategory::LogFunc_Info,
         "SetRcvMessage(%s) Index[%d]", MessageName(mid), *index + 1);
    // Only a frame that was copied is still whole here, even if the log was switched on since.
    if (dumped) {
        LogFrameDump(frame, LogCategory::LogProc_SetRcvMessage);  // NOLINT(bugprone-use-after-move)
    }
    return true;
}

void ExchangeEngine::ClearSlots() {
    slots_.Clear();
}

int ExchangeEngine::UsedSlots() const {
    return slots_.Used();
}

}  // namespace dialvane
