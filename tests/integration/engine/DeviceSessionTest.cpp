// Sessions side by side in one process: each has its own connection, engine, receive thread and
// temporary files, so parallel runs never see each other's answers or files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

#include "comm/DeviceSession.h"
#include "data/ProductInfo.h"
#include "support/FileUtil.h"
#include "support/ScriptedPrompt.h"
#include "support/ServedMfp.h"
#include "support/SessionSettings.h"

namespace dialvane {
namespace {

constexpr const char* kSettings =
    "[DX-R7700]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n";

// The emulated MFPs take their limits from the test's settings file.
MfpEmulatorOptions LimitedBy(const testing::TempDir& dir) {
    MfpEmulatorOptions options;
    options.settingsPath = dir.File("dialvane.ini");
    return options;
}

using testing::SessionSettingsIn;

TEST(DeviceSession, ParallelSessionsReadTheirOwnDevice) {
    testing::TempDir dir;
    dir.Write("dialvane.ini", kSettings);
    const testing::ServedMfp first(dir, 230, "S1,First Office,0101,\r\nN,First\r\n",
                                   LimitedBy(dir));
    const testing::ServedMfp second(
        dir, 231, "S2,Second Office,0202,\r\nG1,Team,S2\r\nN,Second\r\n", LimitedBy(dir));

    auto download = [&](int host, const std::string& tag, RunResult* result) {
        testing::ScriptedPrompt prompt;
        DeviceSession session(SessionSettingsIn(dir, tag));
        session.UseNetwork(testing::LoopbackAddress(host));
        session.SetPrompt(&prompt);
        TProductInfo product(dir.File("dialvane.ini"));
        ASSERT_EQ(session.Inquire(product).channelTestResult, 0);
        RecordTable table(product);
        *result = session.Download(table, product, dir.File(tag + ".csv"));
    };
    RunResult firstResult;
    RunResult secondResult;
    std::thread a(download, 230, "a", &firstResult);
    std::thread b(download, 231, "b", &secondResult);
    a.join();
    b.join();

    EXPECT_TRUE(firstResult.success);
    EXPECT_TRUE(secondResult.success);
    EXPECT_EQ(dir.Read("a.csv"), first.Dump());
    EXPECT_EQ(dir.Read("b.csv"), second.Dump());
}

TEST(DeviceSession, TheSessionsTemporaryFilesAreReadableByTheirOwnerOnly) {
    testing::TempDir dir;
    dir.Write("dialvane.ini", kSettings);
    const testing::ServedMfp device(dir, 233, "S1,Office,0101,\r\n", LimitedBy(dir));
    DeviceSession session(SessionSettingsIn(dir, "m"));
    session.UseNetwork(testing::LoopbackAddress(233));
    testing::ScriptedPrompt prompt;
    session.SetPrompt(&prompt);
    TProductInfo product(dir.File("dialvane.ini"));
    ASSERT_EQ(session.Inquire(product).channelTestResult, 0);
    RecordTable table(product);
    ASSERT_TRUE(table.StoreRecord({"S1", "Office", "", "0101"}));
    ASSERT_TRUE(table.StoreRecord({"N", "Head Office"}));

    std::string error;
    const RunResult result = session.Upload(table, product, &error);
    ASSERT_TRUE(result.success) << error;
    for (const std::string& file : {session.Settings().sendFile, session.Settings().downloadFile}) {
        struct stat info {};
        ASSERT_EQ(::stat(file.c_str(), &info), 0) << file;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << file;
    }
}

TEST(DeviceSession, UploadWhoseSendFileCannotBeWrittenNeverContactsTheMfp) {
    testing::TempDir dir;
    dir.Write("dialvane.ini", kSettings);
    const testing::ServedMfp device(dir, 232, "S1,Office,0101,\r\n", LimitedBy(dir));
    DeviceSessionSettings settings = SessionSettingsIn(dir, "x");
    settings.sendFile = dir.File("missing-folder/send.tmp");
    DeviceSession session(settings);
    session.UseNetwork(testing::LoopbackAddress(232));
    TProductInfo product(dir.File("dialvane.ini"));
    product.Load("DX-R7700");
    RecordTable table(product);

    std::string error;
    const RunResult result = session.Upload(table, product, &error);
    EXPECT_FALSE(result.success);
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(device->Transcript().empty());
}

}  // namespace
}  // namespace dialvane
