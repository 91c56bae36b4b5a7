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
using ThreadBridgesTest = testing::GuiTest;

TEST_F(ThreadBridgesTest, AWorkerQuestionIsAskedOnTheMainThreadAndWaitsForTheAnswer) {
    auto inner = std::make_shared<testing::ScriptedPrompt>(std::vector{PromptAnswer::Yes});
    std::atomic<bool> onMainThread{false};
    inner->onAsk = [&](const PromptRequest&) {
        onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    };
    QtPromptBridge bridge(inner);
    std::atomic<bool> done{false};
    PromptAnswer answer = PromptAnswer::Cancel;
    std::thread worker([&] {
        answer = bridge.Ask(PromptRequest{});
        done = true;
    });
    EXPECT_TRUE(ProcessUntil([&] { return done.load(); })) << "the question was never answered";
    worker.join();
    EXPECT_EQ(answer, PromptAnswer::Yes);
    EXPECT_TRUE(onMainThread);
}

}  // namespace
}  // namespace dialvane
