// Sessions side by side in one process: each has its own connection, engine, receive thread and
// temporary files, so parallel runs never see each other's answers or files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

#include "comm/DeviceSession.h"
#include "data/ProductInfo.h"
#include "support/ScriptedPrompt.h"
#include "support/ServedMfp.h"
#include "support/SessionSettings.h"

namespace dialvane {
namespace {

class DeviceSessionTest : public ::testing::Test {
  protected:
    DeviceSessionTest() {
        dir_.Write("dialvane.ini",
                   "[DX-R7700]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\n"
                   "SpeedDialKeyword=1\n");
    }
    // An MFP taking its limits from the test's settings file.
    std::unique_ptr<testing::ServedMfp> Serve(int host, const std::string& list) const {
        MfpEmulatorOptions options;
        options.settingsPath = dir_.File("dialvane.ini");
        return std::make_unique<testing::ServedMfp>(dir_, host, list, options);
    }

    testing::TempDir dir_;
};

TEST_F(DeviceSessionTest, ParallelSessionsReadTheirOwnDeviceAndKeepTheirFilesPrivate) {
    const auto first = Serve(230, "S1,First Office,0101,\r\nN,First\r\n");
    const auto second = Serve(231, "S2,Second Office,0202,\r\nG1,Team,S2\r\nN,Second\r\n");

    auto download = [&](int host, const std::string& tag, RunResult* result) {
        testing::ScriptedPrompt prompt;
        DeviceSession session(testing::SessionSettingsIn(dir_, tag));
        session.UseNetwork(testing::LoopbackAddress(host));
        session.SetPrompt(&prompt);
        TProductInfo product(dir_.File("dialvane.ini"));
        ASSERT_EQ(session.Inquire(product).channelTestResult, 0);
        RecordTable table(product);
        *result = session.Download(table, product, dir_.File(tag + ".csv"));
        if (!result->success) {
            return;
        }
        // What the session keeps of the MFP's list is readable by its owner only.
        std::string error;
        ASSERT_TRUE(session.Upload(table, product, &error).success) << error;
        for (const std::string& file :
             {session.Settings().sendFile, session.Settings().downloadFile}) {
            struct stat info {};
            ASSERT_EQ(::stat(file.c_str(), &info), 0) << file;
            EXPECT_EQ(info.st_mode & 0777, 0600u) << file;
        }
    };
    RunResult firstResult;
    RunResult secondResult;
    std::thread a(download, 230, "a", &firstResult);
    std::thread b(download, 231, "b", &secondResult);
    a.join();
    b.join();

    EXPECT_TRUE(firstResult.success);
    EXPECT_TRUE(secondResult.success);
    EXPECT_EQ(dir_.Read("a.csv"), first->Dump());
    EXPECT_EQ(dir_.Read("b.csv"), second->Dump());
}

TEST_F(DeviceSessionTest, UploadWhoseSendFileCannotBeWrittenNeverContactsTheMfp) {
    const auto device = Serve(232, "S1,Office,0101,\r\n");
    DeviceSessionSettings settings = testing::SessionSettingsIn(dir_, "x");
    settings.sendFile = dir_.File("missing-folder/send.tmp");
    DeviceSession session(settings);
    session.UseNetwork(device->Address());
    TProductInfo product(dir_.File("dialvane.ini"));
    product.Load("DX-R7700");
    RecordTable table(product);

    std::string error;
    EXPECT_FALSE(session.Upload(table, product, &error).success);
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE((*device)->Transcript().empty());
}

}  // namespace
}  // namespace dialvane
