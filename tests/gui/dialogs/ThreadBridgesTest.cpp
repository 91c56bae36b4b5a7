// A worker thread's question is asked on the main thread, which answers it.
#include <gtest/gtest.h>

#include <QThread>
#include <atomic>
#include <thread>

#include "support/GuiTestSupport.h"
#include "ui/ThreadBridges.h"

namespace dialvane {
namespace {

using testing::ProcessUntil;
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

}  // namespace
}  // namespace dialvane
