// Questions and progress from another thread reach the main thread, in order.
#include <gtest/gtest.h>

#include <QThread>
#include <atomic>
#include <thread>

#include "support/GuiTestSupport.h"
#include "ui/ThreadBridges.h"

namespace dialvane {
namespace {

using testing::ProcessUntil;
using testing::RecordingProgress;
using testing::ScriptedPrompt;
using ThreadBridgesTest = testing::GuiTest;

// Answers from the script, noting the thread each question was asked on.
class ThreadNotingPrompt : public ScriptedPrompt {
  public:
    using ScriptedPrompt::ScriptedPrompt;
    PromptAnswer Ask(const PromptRequest& request) override {
        onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        return ScriptedPrompt::Ask(request);
    }
    std::atomic<bool> onMainThread{false};
};

TEST_F(ThreadBridgesTest, AWorkerQuestionIsAskedOnTheMainThreadAndWaitsForTheAnswer) {
    auto inner = std::make_shared<ThreadNotingPrompt>(std::vector<PromptAnswer>{PromptAnswer::Yes});
    QtPromptBridge bridge(inner);
    std::atomic<bool> done{false};
    PromptAnswer answer = PromptAnswer::Cancel;
    std::thread worker([&] {
        answer = bridge.Ask(PromptRequest{});
        done = true;
    });
    EXPECT_TRUE(ProcessUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(answer, PromptAnswer::Yes);
    EXPECT_TRUE(inner->onMainThread);

    // Asked on the main thread itself, the question goes straight through.
    inner->onMainThread = false;
    EXPECT_EQ(bridge.Ask(PromptRequest{}), PromptAnswer::Ok);
    EXPECT_TRUE(inner->onMainThread);
}

TEST_F(ThreadBridgesTest, WorkerProgressArrivesInOrderWithoutWaitingForTheWindow) {
    RecordingProgress target;
    QtProgressBridge bridge(&target);
    std::thread worker([&] {
        bridge.SetDirection(0);
        bridge.SetSequenceProgress('I', 0, 0, 1);
        for (int i = 0; i < 50; ++i) {
            bridge.ShowStatus("line " + std::to_string(i), 1);
        }
        bridge.SetSequenceProgress('D', 4, 30, 60);
        bridge.SetTargetLabel("DX-R7700");
        bridge.SetTransferRange(5000);
        bridge.SetTransferPosition(100);
        bridge.SetButtonsEnabled(false);
    });
    worker.join();  // the worker finished before the main thread handled anything
    EXPECT_TRUE(target.State().statuses.empty());
    EXPECT_TRUE(ProcessUntil([&] { return !target.State().buttonsEnabled; }));
    const auto state = target.State();
    ASSERT_EQ(state.statuses.size(), 50u);
    EXPECT_EQ(state.statuses[49].first, "line 49");
    EXPECT_EQ(state.bar.Position(), 34000);
    EXPECT_EQ(state.target, "DX-R7700");
    EXPECT_EQ(state.transferMaximum, 5000);
    EXPECT_EQ(state.transferPosition, 100);
}

}  // namespace
}  // namespace dialvane
