#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "protocol/Answer.h"
#include "protocol/DeviceChannel.h"
#include "protocol/Envelope.h"
#include "protocol/Frame.h"
#include "protocol/ReceiveSlots.h"
#include "support/Messages.h"
#include "support/Progress.h"
#include "support/Prompt.h"
#include "support/QnlEnv.h"
#include "support/StopSignal.h"

namespace dialvane {

// The settings the engine and the runs read, fixed for the program's lifetime.
struct EngineSettings {
    QnlEnvRecord env;
    bool verify = false;
    int disp = 0;
    // Set when several runs share the log: the lines of this engine's threads carry it.
    std::string logTag;
    // What an answer wait measures its timeout by; the steady clock when empty. A test moves its
    // own clock once the device has said all it will, instead of racing a real deadline.
    std::function<std::chrono::steady_clock::time_point()> waitClock;
};

// A failure that ends the running sequence; its text is what the user is told.
class TransferError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Where the message of a failed command goes.
enum class FailureDisplay {
    Show,           // a message box (download, upload)
    StoreAsResult,  // kept as the result text of the run (network test)
    Drop,           // nowhere (the channel test at start-up)
};

// The frame exchange engine: sends requests frame by frame, files the answers the receive
// thread classifies into receive slots, and lets the worker wait for them.
//
// Threads: the worker calls the exchange and wait functions; the receive thread calls
// AfterPoll (which runs ReceiveAndParse); the user interface calls RequestStop. The waiting
// worker is woken as soon as an answer is classified, so a wait never adds latency.
class ExchangeEngine {
  public:
    static constexpr std::size_t kReceiveBufferSize = 2048;
    static constexpr int kSlotCount = ReceiveSlots::kCount;
    static constexpr std::size_t kReceivedStoreSize = 6;

    explicit ExchangeEngine(EngineSettings settings = {});
    ~ExchangeEngine();
    ExchangeEngine(const ExchangeEngine&) = delete;
    ExchangeEngine& operator=(const ExchangeEngine&) = delete;

    const EngineSettings& Settings() const { return settings_; }
    const ToolIds& Ids() const { return ids_; }

    // The channel in use; may change between runs (the network test switches to the network).
    void SetChannel(IDeviceChannel* channel);
    IDeviceChannel* Channel() const { return channel_.load(); }

    // Where questions and progress go; nullptr means each question gets its default answer / no
    // progress.
    void SetPrompt(IPrompt* prompt) { prompt_ = prompt; }
    void SetProgress(IProgress* progress);
    IProgress& Progress() { return *progress_.load(); }
    // Whether a progress line of this detail level (1 to 4) is shown: every view shows them up
    // to DISP, so a line above it need not even be built.
    bool Shows(int level) const { return level <= settings_.disp; }
    PromptAnswer Ask(const PromptRequest& request);

    // Run flags.
    void SetSequenceRunning(bool running) { sequenceRunning_ = running; }
    bool SequenceRunning() const { return sequenceRunning_; }
    // Thread-safe; the next answer wait asks "Stop Transmission?".
    void RequestStop();
    bool StopRequested() const { return stopRequested_; }
    void ClearStopRequest();
    // Readable while a stop is requested: a connect waits on it and ends at once.
    int StopRequestFd() const { return stopSignal_.Fd(); }
    // Ends waits and pauses at once (program close); the run then ends.
    void RequestTerminate();
    void ClearTerminate() { terminate_ = false; }
    bool TerminateRequested() const { return terminate_; }
    // 0 read, 1 write: which bar steps the answer arrival moves.
    void SetDirection(int direction) { direction_ = direction; }

    // Failure reporting state of one sequence (see ReportFailure).
    void SetFailureDisplay(FailureDisplay display) { display_ = display; }
    FailureDisplay Display() const { return display_; }
    bool messageBoxAllowed = true;
    bool nackSeen = false;
    std::string resultMessage;
    std::string lastFailureText;  // the text of the last failure reported in this run

    // --- receive side (receive thread) ---
    // After each Poll of the channel: wakes a waiter that lost its connection, and runs one
    // receive cycle while a sequence runs and a wait listens.
    void AfterPoll();
    // One receive cycle: takes what arrived and classifies the first complete answer; the
    // rest stays buffered for the next wait.
    void ReceiveAndParse();
    // Files a parsed frame into the receive slots.
    bool SetRcvMessage(FrameRecord frame);
    void ClearSlots();
    int UsedSlots() const;
    // Receiving is on only during a wait (one answer per wait).
    bool ReceiveEnabled() const { return receiveEnabled_; }

    // --- waiting side (worker thread) ---
    bool QNL_Frame_RW(std::uint8_t mid, bool wantData, bool senderFlag);
    bool QNL_Response(ResponseStatus expected);
    // How the last QNL_Response ended (worker thread only).
    ResponseStatus LastWaitStatus() const { return lastWaitStatus_; }
    bool QNL_Check_Frame_End(std::uint8_t jobType, std::uint8_t mid);
    // Moves a complete message out of its slot; nullopt when no slot holds it. Throws
    // TransferError ("Parameter Error" ...) for a non-zero stop cause outside 0x21 and 0x62.
    std::optional<FrameRecord> TakeMessage(std::uint8_t jobType, std::uint8_t mid);
    // Sends the bytes and writes the transmit dumps; the count sent, 0 on failure.
    std::size_t DataSend(const Bytes& bytes);
    int DataReceive(std::uint8_t* buffer, std::size_t capacity);
    // Shows a built command in the progress view (level 4).
    void ShowTransmitDump(const Bytes& bytes);
    // Sleeps, but returns early when the run is asked to terminate.
    void Pause(int milliseconds);

    // Outgoing registration messages (write sequences) and received answers (read steps).
    void SetOutgoing(const std::map<std::uint8_t, MessageFrames>& messages);
    void ClearStores();
    const std::vector<FrameRecord>& ReceivedMessages() const { return received_; }
    std::uint8_t StopCause() const { return stopCause_; }

    // The state the last classified answer left.
    ResponseStatus Status() const;
    std::uint16_t NackCode() const;
    std::string ModelName() const;
    // Forgets a previous model name (before a new channel establishment).
    void ClearModelName();

    // Hex of one byte, as the log and the error texts show it.
    static std::string Hex2(std::uint8_t value);

  private:
    void ApplyAnswer(AnswerClassification answer);
    // Under the receive lock: takes what arrived and scans out the first complete answer.
    std::optional<AnswerClassification> TakeAnswer();
    // Whether a receive cycle left bytes of a later answer behind.
    bool HoldsPending();
    void EnableReceiving();
    void FileAnswerFrame(AnswerClassification& answer);
    // When a wait runs out: the bytes of an answer that never ended, classified as they are.
    // False when nothing was buffered.
    bool ClassifyUnfinishedAnswer();
    // Waits for the answer, waiting again after busy answers; reports any other failure.
    bool WaitAnswer(ResponseStatus expected, const char* failureFormat, const std::string& name);
    void ShowReceiveDump(const std::uint8_t* bytes, std::size_t count);
    void DiscardStaleAnswers(IDeviceChannel& channel);
    // Whether bytes hold a complete answer other than a busy one.
    bool HoldsFinalAnswer(std::string_view bytes) const;
    bool AnswerStillOwed() const;
    std::chrono::steady_clock::time_point WaitClockNow() const;

    EngineSettings settings_;
    ToolIds ids_;
    std::atomic<IDeviceChannel*> channel_{nullptr};
    IPrompt* prompt_ = nullptr;
    NullProgress nullProgress_;
    std::atomic<IProgress*> progress_;

    std::atomic<bool> sequenceRunning_{false};
    std::atomic<bool> stopRequested_{false};
    StopSignal stopSignal_;
    std::atomic<bool> terminate_{false};
    std::atomic<bool> receiveEnabled_{false};
    std::atomic<int> direction_{0};
    FailureDisplay display_ = FailureDisplay::Show;

    // The answer state and the wake-up of the waiter.
    mutable std::mutex stateMutex_;
    std::condition_variable stateChanged_;
    AnswerState answer_;
    std::string receiveError_;      // an error the receive thread raises into the waiting run
    bool answerAbandoned_ = false;  // a confirmed stop left the device's answer still to come
    std::chrono::steady_clock::time_point receiveFrom_;  // READ_DELAY

    // The receive cycle: bytes taken from the channel and not yet classified.
    std::recursive_mutex receiveMutex_;
    std::string pending_;

    ReceiveSlots slots_;

    std::map<std::uint8_t, std::vector<FrameRecord>> outgoing_;
    std::vector<FrameRecord> received_;
    std::uint8_t stopCause_ = 0;
    ResponseStatus lastWaitStatus_ = ResponseStatus::QNL_NONE;
    int lastAttempt_ = 1;
};

}  // namespace dialvane
