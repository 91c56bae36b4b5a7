#include "protocol/ExchangeEngine.h"

#include <algorithm>

#include "protocol/ExchangeDump.h"
#include "protocol/FailureReport.h"
#include "protocol/FailureText.h"
#include "protocol/MessageCatalogue.h"
#include "support/DiagnosticLog.h"
#include "support/Format.h"

namespace dialvane {
namespace {

using Clock = std::chrono::steady_clock;

// Progress-view level of the request and answer lines.
constexpr int kCommandLevel = 3;
// The transfer bar moves at least this often during a wait; answers wake the wait at once.
constexpr int kWaitSliceMs = 100;
// How long the release after a confirmed stop waits for the answer the stop left behind.
constexpr int kAbandonedAnswerWaitMs = 3000;
constexpr int kAbandonedAnswerPollMs = 10;
// A message never needs more frames than this (65535 bytes in frames of at least 32 bytes);
// beyond it the device is answering in circles.
constexpr int kMaxReadFrames = 2048;

void Log(std::string_view text, LogCategory process, LogCategory kind) {
    LogWrite(text, process, kind, 'L');
}

template <typename... Args>
void LogF(LogCategory process, LogCategory kind, std::string_view format, const Args&... args) {
    LogWriteF(process, kind, 'L', format, args...);
}

template <typename... Args>
void LogCmdF(LogCategory kind, std::string_view format, const Args&... args) {
    LogF(LogCategory::LogProc_QNLCMD, kind, format, args...);
}

// Bar step of a message that fills part of a step while it arrives (read direction).
int ReadStep(std::uint8_t mid) {
    switch (mid) {
        case kMidSpeedDialInfo:
            return 4;
        case kMidGroupInfo:
            return 5;
        case kMidBindingInfo:
            return 6;
        case kMidSenderInfo:
            return 7;
        default:
            return -1;
    }
}

}  // namespace

std::string ExchangeEngine::Hex2(std::uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

ExchangeEngine::ExchangeEngine(EngineSettings settings)
    : settings_(std::move(settings)), progress_(&nullProgress_) {
    ids_.connectNo = settings_.env.connectNo;
    ids_.openTimeout = settings_.env.openTimeout;
    ids_.readTimeout = settings_.env.readTimeout;
    receiveFrom_ = Clock::now();
}

ExchangeEngine::~ExchangeEngine() = default;

void ExchangeEngine::SetChannel(IDeviceChannel* channel) {
    IDeviceChannel* previous = channel_.exchange(channel);
    // The receive thread may be waiting on the previous channel: let it move over now.
    if (previous != nullptr && previous != channel) {
        previous->Wake();
    }
}

void ExchangeEngine::SetProgress(IProgress* progress) {
    progress_ = progress != nullptr ? progress : &nullProgress_;
}

PromptAnswer ExchangeEngine::Ask(const PromptRequest& request) {
    return prompt_ != nullptr ? prompt_->Ask(request) : EffectiveDefault(request);
}

void ExchangeEngine::RequestStop() {
    {
        std::lock_guard lock(stateMutex_);
        stopRequested_ = true;
        stopSignal_.Raise();
    }
    stateChanged_.notify_all();
}

void ExchangeEngine::ClearStopRequest() {
    std::lock_guard lock(stateMutex_);
    stopRequested_ = false;
    stopSignal_.Clear();
}

void ExchangeEngine::RequestTerminate() {
    {
        std::lock_guard lock(stateMutex_);
        terminate_ = true;
    }
    stateChanged_.notify_all();
}

ResponseStatus ExchangeEngine::Status() const {
    std::lock_guard lock(stateMutex_);
    return answer_.status;
}

std::uint16_t ExchangeEngine::NackCode() const {
    std::lock_guard lock(stateMutex_);
    return answer_.nackCode;
}

std::string ExchangeEngine::ModelName() const {
    std::lock_guard lock(stateMutex_);
    return answer_.modelName;
}

void ExchangeEngine::ClearModelName() {
    std::lock_guard lock(stateMutex_);
    answer_.modelName.clear();
}

void ExchangeEngine::ApplyAnswer(AnswerClassification answer) {
    // The state lock is held only while the answer is filed; the frame's bytes change hands
    // without a copy and the old ones are freed after the lock. The waiter is woken once the
    // lock is free, so it does not wake only to block on it.
    std::optional<Bytes> frame = std::move(answer.frame);
    answer.frame.reset();
    {
        std::lock_guard lock(stateMutex_);
        answer_.Apply(answer);
        if (frame) {
            answer_.frameBuffer.swap(*frame);
        }
        // One answer per wait: the next one stays buffered until the next wait listens, so a
        // busy answer and the real answer that arrived together are both seen, in order.
        receiveEnabled_ = false;
    }
    stateChanged_.notify_all();
}

// ---------------------------------------------------------------------------------------------
// Waiting side

std::size_t ExchangeEngine::DataSend(const Bytes& bytes) {
    LogF(LogCategory::LogProc_DataSend, LogCategory::LogFunc_Start,
         "<S>DataSend...Start (PC⇒MFP %d[Bytes])", bytes.size());
    std::size_t sent = 0;
    IDeviceChannel* channel = Channel();
    if (channel != nullptr && channel->Connected()) {
        DiscardStaleAnswers(*channel);
        sent = channel->Send(bytes);
    }
    LogF(LogCategory::LogProc_DataSend, LogCategory::LogFunc_End,
         "<E>DataSend...OK (PC⇒MFP %d[Bytes])", sent);
    return sent;
}

bool ExchangeEngine::HoldsFinalAnswer(std::string_view bytes) const {
    while (!bytes.empty()) {
        const AnswerScan scan = ScanAnswer(bytes, ids_.connectNo);
        if (scan.state == ScanState::Incomplete) {
            return false;
        }
        const AnswerClassification& answer = scan.answer;
        const bool busy = answer.status == ResponseStatus::QNL_NACK && answer.nackCode &&
                          *answer.nackCode == kNackBusy;
        if (scan.state == ScanState::Complete && !busy) {
            return true;
        }
        bytes.remove_prefix(std::clamp<std::size_t>(scan.consumed, 1, bytes.size()));
    }
    return false;
}

void ExchangeEngine::DiscardStaleAnswers(IDeviceChannel& channel) {
    // The device answers only what it was sent, so whatever is still buffered now answers an
    // earlier command (a late answer after a timeout, the real answer behind the last busy
    // answer): taken as the answer to the next command it would be wrong.
    std::lock_guard lock(receiveMutex_);
    std::string stale;
    stale.swap(pending_);
    bool owed = false;
    {
        std::lock_guard state(stateMutex_);
        owed = answerAbandoned_;
        answerAbandoned_ = false;
    }
    // After a confirmed stop the device still answers the command it was working on. Taken for
    // the answer to the next command (the release of the fax above all) it would end that
    // exchange before the device has even read it, so it is waited for, briefly, and dropped.
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::clamp(
                                             settings_.env.timeout, 0, kAbandonedAnswerWaitMs));
    std::array<std::uint8_t, kReceiveBufferSize> buffer;
    while (true) {
        for (int count; (count = channel.Receive(buffer.data(), buffer.size())) > 0;) {
            stale.append(reinterpret_cast<const char*>(buffer.data()),
                         static_cast<std::size_t>(count));
        }
        if (!owed || HoldsFinalAnswer(stale) || !channel.Connected() || Clock::now() >= deadline) {
            break;
        }
        std::unique_lock state(stateMutex_);
        stateChanged_.wait_for(state, std::chrono::milliseconds(kAbandonedAnswerPollMs),
                               [this] { return terminate_.load(); });
    }
    const std::size_t dropped = stale.size();
    if (dropped > 0) {
        LogF(LogCategory::LogProc_DataSend, LogCategory::LogFunc_Error,
             "DataSend... 未処理の応答を破棄 [%d]Bytes", dropped);
    }
}

bool ExchangeEngine::AnswerStillOwed() const {
    // Nothing yet, or only a busy answer: the device's real answer is still on its way.
    return answer_.status == ResponseStatus::QNL_NONE ||
           (answer_.status == ResponseStatus::QNL_NACK && answer_.nackCode == kNackBusy);
}

void ExchangeEngine::Pause(int milliseconds) {
    std::unique_lock lock(stateMutex_);
    stateChanged_.wait_for(lock, std::chrono::milliseconds(std::max(0, milliseconds)),
                           [this] { return terminate_.load(); });
}

void ExchangeEngine::EnableReceiving() {
    IDeviceChannel* channel = Channel();
    const int delay = settings_.env.readDelay;
    const bool delayed = channel != nullptr && channel->DelaysReceive() && delay > 0;
    {
        std::lock_guard lock(stateMutex_);
        answer_.status = ResponseStatus::QNL_NONE;
        // A receive cycle that overlapped the end of the previous wait may have left its error
        // behind; it belongs to that exchange, not to this one.
        receiveError_.clear();
        receiveFrom_ = Clock::now() + std::chrono::milliseconds(delayed ? delay : 0);
        receiveEnabled_ = true;
    }
    if (delayed) {
        LogF(LogCategory::LogProc_QNL_Response, LogCategory::LogFunc_End,
             "受信ディレイ %d[ms] Wait.", delay);
    }
    // Answers already buffered are classified now, not at the next poll. Bytes that arrive from
    // here on find receiving enabled, so the receive thread takes them without being woken.
    if (channel != nullptr && (channel->HoldsBytes() || HoldsPending())) {
        channel->Wake();
    }
}

bool ExchangeEngine::HoldsPending() {
    std::lock_guard lock(receiveMutex_);
    return !pending_.empty();
}

std::chrono::steady_clock::time_point ExchangeEngine::WaitClockNow() const {
    return settings_.waitClock ? settings_.waitClock() : Clock::now();
}

bool ExchangeEngine::QNL_Response(ResponseStatus expected) {
    IProgress& progress = Progress();
    const int timeout = settings_.env.timeout;
    progress.SetTransferRange(timeout);
    progress.SetTransferPosition(0);
    EnableReceiving();

    long long elapsed = 0;
    ResponseStatus status = ResponseStatus::QNL_NONE;
    std::string raised;
    std::unique_lock lock(stateMutex_);
    while (true) {
        status = answer_.status;
        if (!receiveError_.empty()) {
            raised.swap(receiveError_);
            break;
        }
        // A stop is asked about before an answer is taken, even one that is already here:
        // with a fast device the answer always is, and the stop would never take effect.
        if (terminate_) {
            answerAbandoned_ = AnswerStillOwed();
            status = answer_.status = ResponseStatus::QNL_ABORT;
            break;
        }
        if (stopRequested_) {
            lock.unlock();
            progress.SetButtonsEnabled(false);
            PromptRequest question;
            question.text = Text(Msg::CommStopQuestion);
            question.title = Text(Msg::CommStopCaption);
            question.buttons = PromptButtons::YesNo;
            question.icon = PromptIcon::Warning;
            question.defaultAnswer = PromptAnswer::No;
            question.onTop = true;
            const PromptAnswer answer = Ask(question);
            lock.lock();
            if (answer == PromptAnswer::Yes) {
                answerAbandoned_ = AnswerStillOwed();
                status = answer_.status = ResponseStatus::QNL_ABORT;
                break;
            }
            lock.unlock();
            progress.SetButtonsEnabled(true);
            lock.lock();
            stopRequested_ = false;
            stopSignal_.Clear();
            // The time spent on the question does not count as waiting.
            continue;
        }
        if (status != ResponseStatus::QNL_NONE) {
            break;
        }
        IDeviceChannel* channel = Channel();
        if (channel == nullptr || !channel->Connected()) {
            status = answer_.status = ResponseStatus::QNL_ERR_DEV;
            break;
        }
        const auto slice =
            std::chrono::milliseconds(std::clamp<long long>(timeout - elapsed, 0, kWaitSliceMs));
        const auto start = WaitClockNow();
        stateChanged_.wait_for(lock, slice);
        elapsed +=
            std::chrono::duration_cast<std::chrono::milliseconds>(WaitClockNow() - start).count();
        if (answer_.status == ResponseStatus::QNL_NONE && receiveError_.empty() &&
            elapsed >= timeout) {
            // Part of an answer came: the user is told what is wrong with it, not that the
            // device never answered.
            lock.unlock();
            const bool unfinished = ClassifyUnfinishedAnswer();
            lock.lock();
            if (unfinished && answer_.status != ResponseStatus::QNL_NONE) {
                status = answer_.status;
                break;
            }
            status = answer_.status = ResponseStatus::QNL_ERR_TIMEOUT;
            lock.unlock();
            channel->CancelReceive();
            const std::string line = Format("タイムアウト: %f[Sec] Wait.", elapsed / 1000.0);
            Log(line, LogCategory::LogProc_QNL_Response, LogCategory::LogFunc_Error);
            progress.ShowStatus(line, 1);
            lock.lock();
            break;
        }
        lock.unlock();
        progress.SetTransferPosition(static_cast<int>(std::min<long long>(elapsed, timeout)));
        lock.lock();
    }
    receiveEnabled_ = false;
    lock.unlock();
    lastWaitStatus_ = status;

    if (!raised.empty()) {
        throw TransferError(raised);
    }
    if (status == expected ||
        (expected == ResponseStatus::QNL_NACK && status == ResponseStatus::QNL_ACK)) {
        return true;
    }
    LogF(LogCategory::LogProc_QNL_Response, LogCategory::LogFunc_Error,
         "QNL_Response(Break) STAT=%d(%s)", static_cast<int>(status), StatusName(status));
    return false;
}

bool ExchangeEngine::QNL_Check_Frame_End(std::uint8_t jobType, std::uint8_t mid) {
    const std::optional<MessageCount> found = slots_.Count(jobType, mid);
    if (!found) {
        LogF(LogCategory::LogProc_QNL_Check_Frame_End, LogCategory::LogFunc_Error,
             "Error!....QNL_Check_Frame_End() Count[%d] JTYPE[%X] MID[%X])", slots_.Used(), jobType,
             mid);
        return false;
    }
    const MessageCount count = *found;
    const bool complete = count.Complete();
    LogF(LogCategory::LogProc_QNL_Check_Frame_End, LogCategory::LogFunc_Info,
         complete ? "QNL_Check_Frame_End...OK Total[%d] Cur[%d])"
                  : "QNL_Check_Frame_End...Continue Total[%d] Cur[%d])",
         count.total, count.Received());
    const int step = ReadStep(mid);
    if (direction_ == 0 && step >= 0 && count.total != 0) {
        Progress().SetSequenceProgress('D', step, std::min(count.Received(), count.total),
                                       count.total);
    }
    return complete;
}

std::optional<FrameRecord> ExchangeEngine::TakeMessage(std::uint8_t jobType, std::uint8_t mid) {
    std::optional<FrameRecord> taken = slots_.Take(jobType, mid);
    if (!taken) {
        return std::nullopt;
    }
    FrameRecord message = std::move(*taken);
    if (mid != kMidSystemParamRead && mid != kMidSenderCancel) {
        for (const FrameParam& param : message.params) {
            if (param.pid == kPidStopCause && !param.value.empty() && param.value[0] != 0) {
                throw TransferError(Text(Msg::CommParameterError) + MessageName(mid) +
                                    "\u3000PID( " + Hex2(param.pid) +
                                    " ) = " + Hex2(param.value[0]));
            }
        }
    }
    return message;
}

void ExchangeEngine::SetOutgoing(const std::map<std::uint8_t, MessageFrames>& messages) {
    outgoing_.clear();
    for (const auto& [mid, frames] : messages) {
        if (!frames.Empty()) {
            outgoing_[mid] = frames.Frames();
        }
    }
}

void ExchangeEngine::ClearStores() {
    outgoing_.clear();
    received_.clear();
}

bool ExchangeEngine::WaitAnswer(ResponseStatus expected, const char* failureFormat,
                                const std::string& name) {
    const int attempts = std::max<int>(1, settings_.env.nackRetryCount);
    for (int r = 1; r <= attempts; ++r) {
        if (QNL_Response(expected)) {
            lastAttempt_ = r;
            return true;
        }
        const bool busy = lastWaitStatus_ == ResponseStatus::QNL_NACK && NackCode() == kNackBusy;
        if (busy && r < attempts) {
            // Busy: the device keeps the request; wait for its answer again, do not resend.
            Pause(settings_.env.nackRetryTime);
            continue;
        }
        ReportFailure(*this, lastWaitStatus_);
        LogCmdF(LogCategory::LogFunc_Error, failureFormat, name, r, attempts);
        return false;
    }
    return false;
}

bool ExchangeEngine::QNL_Frame_RW(std::uint8_t mid, bool wantData, bool senderFlag) {
    const std::string name = MessageName(mid);
    IProgress& progress = Progress();
    LogCmdF(LogCategory::LogFunc_Start, "\r\nQNL_Frame_RW(要求:%s)", name);
    if (Shows(kCommandLevel)) {
        progress.ShowStatus("コマンド発行(" + name + ")", kCommandLevel);
    }
    stopCause_ = 0;

    std::vector<FrameRecord> builtIn;
    const std::vector<FrameRecord>* frames = &builtIn;
    if (HasBuiltInRequest(mid)) {
        builtIn.push_back(*BuiltInRequest(mid, senderFlag));
    } else {
        const auto found = outgoing_.find(mid);
        if (found == outgoing_.end() || found->second.empty()) {
            LogCmdF(LogCategory::LogFunc_Info, "QNL_Frame_RW(要求:%s) 該当登録メッセージなし",
                    name);
            return true;
        }
        frames = &found->second;
    }

    const int total = static_cast<int>(frames->size());
    const int attempts = std::max<int>(1, settings_.env.nackRetryCount);
    for (int i = 0; i < total; ++i) {
        const Bytes command = BuildFrameWrite((*frames)[i], ids_);
        LogCmdF(LogCategory::LogFunc_Start, "フレーム書込(%s) フレーム(%d/%d)", name, i + 1, total);
        LogFrameDump((*frames)[i], LogCategory::LogProc_QNLCMD);
        ShowTransmitDump(command);
        if (DataSend(command) == 0) {
            ReportFailure(*this, ResponseStatus::QNL_ERR_DEV);
            return false;
        }
        if (!WaitAnswer(ResponseStatus::QNL_ACK, "フレーム書込(%s) 異常終了 Retry(%d/%d)", name)) {
            return false;
        }
        if (mid == kMidSpeedDialRegister || mid == kMidGroupRegister) {
            progress.SetSequenceProgress('D', mid == kMidSpeedDialRegister ? 7 : 8, i + 1,
                                         total + 1);
        }
    }
    LogCmdF(LogCategory::LogFunc_End, "フレーム書込(%s) 正常終了 Retry(%d/%d)", name, lastAttempt_,
            attempts);

    for (int k = 1;; ++k) {
        if (k > kMaxReadFrames) {
            ReportFailure(*this, ResponseStatus::QNL_ERR_FORMAT);
            return false;
        }
        const Bytes command = BuildFrameRead(ids_);
        LogCmdF(LogCategory::LogFunc_Start, "フレーム読込(%s) フレーム(%d)", name, k);
        ShowTransmitDump(command);
        if (DataSend(command) == 0) {
            ReportFailure(*this, ResponseStatus::QNL_ERR_DEV);
            return false;
        }
        LogCmdF(LogCategory::LogFunc_Start, "フレーム応答待ち(%s)", name);
        if (!WaitAnswer(ResponseStatus::QNL_RES, "フレーム応答待ち(%s) 異常終了 Retry(%d/%d)",
                        name)) {
            return false;
        }
        LogCmdF(LogCategory::LogFunc_End, "フレーム応答(%s) 正常終了 Retry(%d/%d)", name,
                lastAttempt_, attempts);
        if (!QNL_Check_Frame_End(0, mid)) {
            continue;
        }
        std::optional<FrameRecord> message = TakeMessage(0, mid);
        if (!message) {
            return true;
        }
        if (message->fLen == 0) {
            break;
        }
        if (wantData) {
            if (received_.size() >= kReceivedStoreSize) {
                return false;
            }
            received_.push_back(std::move(*message));
            break;
        }
        const auto cause =
            std::find_if(message->params.begin(), message->params.end(),
                         [](const FrameParam& param) { return param.pid == kPidStopCause; });
        if (cause != message->params.end() && !cause->value.empty() && cause->value[0] != 0) {
            stopCause_ = cause->value[0];
            LogCmdF(LogCategory::LogFunc_Error, "フレーム読込＆応答 異常終了(停止要因:%s)",
                    Hex2(stopCause_));
            progress.ShowStatus(Format("異常応答 (%s) 停止要因[%s]", name, Hex2(stopCause_)), 1);
            return false;
        }
        break;
    }
    LogCmdF(LogCategory::LogFunc_End, "フレーム読込＆応答(%s) 正常終了", name);
    if (Shows(kCommandLevel)) {
        progress.ShowStatus("応答(" + name + ")", kCommandLevel);
    }
    return true;
}

}  // namespace dialvane
