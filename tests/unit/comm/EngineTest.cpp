// The exchange engine and the command layer against a scripted byte channel: how a byte
// stream becomes answers, how frames are filed, how failures reach the user.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "EmulatorWire.h"
#include "comm/RcvMsgThread.h"
#include "protocol/Commands.h"
#include "protocol/Envelope.h"
#include "protocol/ExchangeEngine.h"
#include "protocol/FailureReport.h"
#include "protocol/MessageCatalogue.h"
#include "support/ScriptedPrompt.h"

namespace dialvane {
namespace {

using testing::RecordingProgress;
using testing::ScriptedPrompt;

std::string Ack(const char* code = "0000") {
    return std::string("@QNL SDC FAXTOOL=8\r\n0001") + code + "\x0C";
}

// The answer the emulated MFP sends for a frame read.
std::string DataAnswer(const FrameRecord& frame) {
    const Bytes bytes = SerializeFrame(frame);
    return emu::DataBlock("0001", std::string(bytes.begin(), bytes.end()));
}

FrameRecord Frame(std::uint8_t jtype, std::uint8_t mid, std::vector<FrameParam> params,
                  std::uint16_t len = 0) {
    FrameRecord frame;
    frame.jtype = jtype;
    frame.mid = mid;
    frame.params = std::move(params);
    std::uint16_t bytes = 0;
    for (const FrameParam& p : frame.params) {
        bytes += static_cast<std::uint16_t>(ParamWireSize(p));
    }
    frame.fLen = static_cast<std::uint16_t>(bytes + (frame.HasLenField() ? 2 : 0));
    frame.len = frame.HasLenField() ? (len != 0 ? len : bytes) : frame.fLen;
    return frame;
}

// A device as a script: every command sent is answered by `respond` with the chunks the
// socket would deliver, one chunk per poll.
class ScriptedChannel : public IDeviceChannel {
  public:
    std::function<std::vector<std::string>(const std::string& sent)> respond;
    std::vector<std::string> sent;

    bool Open() override { return connected_ = true; }
    void Close() override { connected_ = false; }
    bool Connected() const override { return connected_; }
    bool IsNetwork() const override { return true; }
    std::size_t Send(std::span<const std::uint8_t> bytes) override {
        std::lock_guard lock(mutex_);
        sent.emplace_back(bytes.begin(), bytes.end());
        if (respond) {
            for (std::string& chunk : respond(sent.back())) {
                chunks_.push_back(std::move(chunk));
            }
        }
        changed_.notify_all();
        return bytes.size();
    }
    int Receive(std::uint8_t* buffer, std::size_t capacity) override {
        std::lock_guard lock(mutex_);
        const std::size_t take = std::min(capacity, buffered_.size());
        std::copy_n(buffered_.begin(), take, buffer);
        buffered_.erase(0, take);
        return static_cast<int>(take);
    }
    void Poll(int timeoutMs) override {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return !chunks_.empty() || woken_; });
        woken_ = false;
        if (!chunks_.empty()) {
            buffered_ += chunks_.front();
            chunks_.pop_front();
        }
    }
    void Wake() override {
        std::lock_guard lock(mutex_);
        woken_ = true;
        changed_.notify_all();
    }
    std::optional<ChannelOpenFailure> OpenFailure() const override { return std::nullopt; }
    bool ForcedDisconnect() const override { return false; }
    // Every answer chunk has been handed to the receive side.
    bool Delivered() {
        std::lock_guard lock(mutex_);
        return chunks_.empty();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> chunks_;
    std::string buffered_;
    bool woken_ = false;
    std::atomic<bool> connected_{false};
};

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settings_.env.timeout = 5000;
        settings_.env.nackRetryTime = 1;
        settings_.env.openRetryTime = 1;
        Make();
    }
    void Make() {
        receiver_.reset();
        engine_ = std::make_unique<ExchangeEngine>(settings_);
        engine_->SetChannel(&channel_);
        engine_->SetPrompt(&prompt_);
        engine_->SetProgress(&progress_);
        engine_->SetSequenceRunning(true);
        channel_.Open();
        receiver_ = std::make_unique<RcvMsgThread>(*engine_);
        receiver_->Start();
    }
    void TearDown() override { receiver_.reset(); }

    // Frame writes are acknowledged; frame reads are answered with `answers` in turn, the last
    // one over and over.
    void AnswerReads(std::vector<std::string> answers) {
        channel_.respond = [answers, reads = std::size_t{0}](const std::string& sent) mutable {
            if (sent.find("}00010003") != std::string::npos) {
                return std::vector<std::string>{Ack()};
            }
            return std::vector<std::string>{answers[std::min(reads++, answers.size() - 1)]};
        };
    }

    EngineSettings settings_;
    ScriptedChannel channel_;
    ScriptedPrompt prompt_;
    RecordingProgress progress_;
    std::unique_ptr<ExchangeEngine> engine_;
    std::unique_ptr<RcvMsgThread> receiver_;
};

// Answers cut into pieces are put together in ScanAnswer.AnswersInRandomChunksArriveWholeAndInOrder
// and HostileDevice; a busy answer and the answer behind it in one piece are waited out in the
// transfer tests.
TEST_F(EngineTest, ABusyAnswerLeftOverIsNotTakenAsTheAnswerToTheNextCommand) {
    channel_.respond = [&](const std::string&) {
        return std::vector<std::string>{channel_.sent.size() == 1 ? Ack("00FC") + Ack("00FA")
                                                                  : Ack()};
    };
    ASSERT_GT(engine_->DataSend(BuildNop(engine_->Ids())), 0u);
    EXPECT_FALSE(engine_->QNL_Response(ResponseStatus::QNL_ACK));
    EXPECT_EQ(engine_->LastWaitStatus(), ResponseStatus::QNL_NACK);
    EXPECT_EQ(engine_->NackCode(), 0xFC);
    ASSERT_GT(engine_->DataSend(BuildOccupyEnd(engine_->Ids())), 0u);
    EXPECT_TRUE(engine_->QNL_Response(ResponseStatus::QNL_ACK));
}

TEST_F(EngineTest, FramesAreFiledIntoSlotsAndCountedUntilComplete) {
    const FrameParam record = FrameParam::Make(0x60, {5});
    const FrameParam empty{0x6F, 0, {}};
    // First frame of a message of 300 bytes, then its last frame.
    FrameRecord first = Frame(kFrameFirst, kMidSpeedDialInfo, {record, empty}, 300);
    FrameRecord last = Frame(kFrameLast, kMidSpeedDialInfo, {FrameParam::Make(0x6F, Bytes(200))});
    first.fLen = 102;
    last.fLen = 202;

    EXPECT_FALSE(engine_->SetRcvMessage(last)) << "continuation without a first frame";
    EXPECT_FALSE(engine_->SetRcvMessage(Frame(kFrameOnly, 0x99, {record}))) << "not receivable";
    ASSERT_TRUE(engine_->SetRcvMessage(first));
    EXPECT_FALSE(engine_->QNL_Check_Frame_End(0, kMidSpeedDialInfo));
    ASSERT_TRUE(engine_->SetRcvMessage(last));
    EXPECT_TRUE(engine_->QNL_Check_Frame_End(0, kMidSpeedDialInfo));

    const std::optional<FrameRecord> message = engine_->TakeMessage(0, kMidSpeedDialInfo);
    ASSERT_TRUE(message);
    ASSERT_EQ(message->params.size(), 2u) << "the SIZE 0 parameter is dropped";
    EXPECT_EQ(message->params[1].size, 200);
    EXPECT_EQ(message->len, 300);
    EXPECT_EQ(engine_->UsedSlots(), 0);
    EXPECT_FALSE(engine_->TakeMessage(0, kMidSpeedDialInfo));
    // A message the device stopped frees its slot too.
    const FrameParam cause = FrameParam::Make(kPidStopCause, {0x05});
    ASSERT_TRUE(engine_->SetRcvMessage(Frame(kFrameOnly, kMidSpeedDialRegister, {cause})));
    EXPECT_THROW(engine_->TakeMessage(0, kMidSpeedDialRegister), TransferError);
    EXPECT_EQ(engine_->UsedSlots(), 0);

    for (int i = 0; i < ExchangeEngine::kSlotCount; ++i) {
        ASSERT_TRUE(engine_->SetRcvMessage(Frame(kFrameOnly, kMidGroupInfo, {record})));
    }
    EXPECT_FALSE(engine_->SetRcvMessage(Frame(kFrameOnly, kMidGroupInfo, {record})));
}

TEST_F(EngineTest, EmptyAnswersAreNotStoredAndEmptyRegistrationsNotSent) {
    // A device without groups answers the read with a frame of F_LEN 0.
    FrameRecord none;
    none.jtype = kFrameOnly;
    none.mid = kMidGroupInfo;
    AnswerReads({DataAnswer(none)});
    EXPECT_TRUE(engine_->QNL_Frame_RW(kMidGroupInfo, true, false));
    EXPECT_TRUE(engine_->ReceivedMessages().empty());

    const std::size_t before = channel_.sent.size();
    EXPECT_TRUE(engine_->QNL_Frame_RW(kMidGroupRegister, false, false));
    EXPECT_EQ(channel_.sent.size(), before);
    EXPECT_TRUE(prompt_.Requests().empty());
}

TEST_F(EngineTest, AnswerFrameThatCannotBeFiledEndsTheExchange) {
    // The device answers a read with a message the program does not accept.
    AnswerReads({DataAnswer(Frame(kFrameOnly, 0x99, {FrameParam::Make(0x60, {1})}))});
    EXPECT_THAT([&] { engine_->QNL_Frame_RW(kMidSpeedDialInfo, true, false); },
                ::testing::ThrowsMessage<TransferError>(
                    ::testing::StrEq("Buffer overflow occurred while receiving data.")));
    // A garbled frame is a malformed answer, reported like one.
    AnswerReads({"@QNL SDC FAXTOOL=12\r\n00010000wHw=\x0C"});
    EXPECT_FALSE(engine_->QNL_Frame_RW(kMidSpeedDialInfo, true, false));
    ASSERT_EQ(prompt_.Requests().size(), 1u);
    EXPECT_EQ(prompt_.Requests()[0].text, "Invalid Command Syntax.");
}

TEST_F(EngineTest, AnAnswerThatNeverEndsIsClassifiedAsItIsWhenTheWaitRunsOut) {
    // The wait runs out only once the device has nothing more on its way, however slow the
    // machine: each reading of the clock then moves it on by a whole timeout.
    settings_.waitClock = [this, now = std::chrono::steady_clock::time_point{}]() mutable {
        if (channel_.Delivered()) {
            now += std::chrono::milliseconds(settings_.env.timeout);
        }
        return now;
    };
    Make();
    const FrameRecord frame = Frame(kFrameOnly, kMidGroupInfo, {FrameParam::Make(0x60, {1})});
    const std::string whole = DataAnswer(frame);
    // Everything but the final form feed.
    AnswerReads({whole.substr(0, whole.size() - 1)});
    EXPECT_FALSE(engine_->QNL_Frame_RW(kMidGroupInfo, true, false));
    EXPECT_EQ(engine_->LastWaitStatus(), ResponseStatus::QNL_ERR_SIZE);

    // Nothing at all is still no response; the half answer above was not left behind for it.
    Make();
    AnswerReads({""});
    EXPECT_FALSE(engine_->QNL_Frame_RW(kMidGroupInfo, true, false));
    EXPECT_EQ(engine_->LastWaitStatus(), ResponseStatus::QNL_ERR_TIMEOUT);
    ASSERT_EQ(prompt_.Requests().size(), 2u);
    EXPECT_EQ(prompt_.Requests()[0].text, "Invalid Command Size.");
    EXPECT_EQ(prompt_.Requests()[1].text, "No response to command.");
}

TEST_F(EngineTest, AFrameWithAnUndefinedPositionIsAMalformedAnswer) {
    FrameRecord first = Frame(kFrameFirst, kMidGroupInfo, {FrameParam::Make(0x60, {1})}, 10);
    FrameRecord stray = Frame(kFrameLast, kMidGroupInfo, {FrameParam::Make(0x60, {2})});
    stray.jtype = 0x50;
    AnswerReads({DataAnswer(first), DataAnswer(stray)});
    EXPECT_FALSE(engine_->QNL_Frame_RW(kMidGroupInfo, true, false));
    EXPECT_EQ(engine_->LastWaitStatus(), ResponseStatus::QNL_ERR_FORMAT);
    EXPECT_TRUE(engine_->ReceivedMessages().empty());
}

TEST_F(EngineTest, OnlyTheFirstFailureOfASequenceShowsABox) {
    ReportFailure(*engine_, ResponseStatus::QNL_ERR_TIMEOUT);
    ReportFailure(*engine_, ResponseStatus::QNL_ERR_SIZE);
    ASSERT_EQ(prompt_.Requests().size(), 1u);
    EXPECT_EQ(prompt_.Requests()[0].text, "No response to command.");
    EXPECT_EQ(prompt_.Requests()[0].icon, PromptIcon::Stop);
    EXPECT_EQ(engine_->lastFailureText, "Invalid Command Size.");
    EXPECT_EQ(progress_.State().statuses.back(),
              (std::pair<std::string, int>{"Invalid Command Size.", 1}));

    ReportFailure(*engine_, ResponseStatus::QNL_NONE);
    ReportFailure(*engine_, ResponseStatus::QNL_ABORT);
    ASSERT_EQ(prompt_.Requests().size(), 2u);
    EXPECT_EQ(prompt_.Requests()[1].icon, PromptIcon::Information);
}

TEST_F(EngineTest, NopAcceptsAckAndFaxAccessButNotBusy) {
    CommandLayer commands(*engine_);
    std::string nopAnswer = Ack("00FD");
    channel_.respond = [&](const std::string& sent) {
        return std::vector<std::string>{sent.find("}00010000") != std::string::npos ? nopAnswer
                                                                                    : Ack()};
    };
    EXPECT_TRUE(commands.ProbeNopAndOccupyStart());
    EXPECT_TRUE(commands.FaxOccupied());
    EXPECT_EQ(channel_.sent.size(), 2u);

    nopAnswer = Ack("00FC");
    EXPECT_FALSE(CommandLayer(*engine_).ProbeNopAndOccupyStart());
    ASSERT_EQ(prompt_.Requests().size(), 1u);
    EXPECT_EQ(prompt_.Requests()[0].text, "Fax is BUSY");
    EXPECT_TRUE(engine_->nackSeen);

    // Without attempts the occupy start is never sent.
    settings_.env.openRetryCount = 0;
    Make();
    nopAnswer = Ack();
    channel_.sent.clear();
    EXPECT_FALSE(CommandLayer(*engine_).ProbeNopAndOccupyStart());
    EXPECT_EQ(channel_.sent.size(), 1u);
}

TEST_F(EngineTest, DeclinedStopQuestionKeepsWaiting) {
    settings_.env.timeout = 50;
    Make();
    // Declined: the wait goes on until the (short) timeout.
    prompt_.Queue(PromptAnswer::No);
    engine_->RequestStop();
    EXPECT_FALSE(engine_->QNL_Response(ResponseStatus::QNL_ACK));
    EXPECT_EQ(engine_->LastWaitStatus(), ResponseStatus::QNL_ERR_TIMEOUT);
    EXPECT_FALSE(engine_->StopRequested());
    EXPECT_TRUE(progress_.State().buttonsEnabled);
}

}  // namespace
}  // namespace dialvane
