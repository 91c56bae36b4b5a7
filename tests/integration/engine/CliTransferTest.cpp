// The built dialvane-cli against the emulated MFP: what the transfer commands print and return.
#include <gtest/gtest.h>

#include <filesystem>

#include "MfpEmulator.h"
#include "support/FileUtil.h"
#include "support/LoopbackAddress.h"
#include "support/RunCli.h"

namespace dialvane {
namespace {

constexpr const char* kSettings =
    "[DX-R7700]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
    "[QNL_ENV]\nOPEN_RETRY_TIME=5\nNACK_RETRY_TIME=5\nTIMEOUT=3000\n";

class CliTransfer : public ::testing::Test {
  protected:
    void Serve(int hostNumber) {
        address_ = testing::LoopbackAddress(hostNumber);
        dir_.Write("dialvane.ini", kSettings);
        MfpEmulatorOptions options;
        options.address = address_;
        device_ = std::make_unique<MfpEmulator>(options);
        ASSERT_TRUE(device_->Start());
        dir_.Write("seed.csv",
                   "S1,Office,03-555-123,OFF\r\nS75,Far,0011,\r\n"
                   "G1,Team,S1,S75\r\nW4,G1\r\nN,Head Office\r\n");
        ASSERT_TRUE(device_->LoadUserFile(Path("seed.csv")));
    }
    void TearDown() override {
        if (device_) {
            device_->Stop();
        }
    }

    std::string Path(const std::string& name) const { return dir_.File(name); }
    std::string Read(const std::string& name) const { return dir_.Read(name); }

    testing::CliRun Cli(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), {"--settings", Path("dialvane.ini")});
        return testing::RunCli(dir_, arguments);
    }

    int FrameWrites() const { return device_->Counters().frameWrites; }

    testing::TempDir dir_;
    std::string address_;
    std::unique_ptr<MfpEmulator> device_;
};

TEST_F(CliTransfer, TestNamesTheModelOrTheCause) {
    Serve(40);
    const auto ok = Cli({"test", "--host", address_});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "Network Test OK. Model Name: DX-R7700\n");

    const auto ng = Cli({"test", "--host", testing::LoopbackAddress(41)});
    EXPECT_EQ(ng.status, 1);
    EXPECT_EQ(ng.err,
              "Network Test NG.\n"
              "Check the cables, power supply, and IP address. (connection refused)\n");
    EXPECT_EQ(ng.out, "");
    // A name no resolver is asked about: it cannot be a host name.
    const auto unknown = Cli({"test", "--host", "front..desk"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("IP address. (host name not found)\n"), std::string::npos)
        << unknown.err;

    const auto unreachable =
        Cli({"download", "--host", testing::LoopbackAddress(41), "-o", Path("none.csv")});
    EXPECT_EQ(unreachable.status, 1);
    EXPECT_TRUE(unreachable.err.ends_with("\nDownload failed.\n")) << unreachable.err;
    EXPECT_FALSE(FileExists(Path("none.csv")));

    EXPECT_EQ(Cli({"test"}).status, 2);
    EXPECT_EQ(Cli({"download", "--host", address_}).status, 2);
}

TEST_F(CliTransfer, DownloadThenUploadWithVerifyKeepTheList) {
    Serve(42);
    const auto download = Cli({"download", "--host", address_, "-o", Path("list.csv")});
    EXPECT_EQ(download.status, 0);
    EXPECT_EQ(download.out, "Download completed.\n");
    ASSERT_TRUE(device_->DumpUserFile(Path("dump.csv")));
    const std::string list = Read("list.csv");
    EXPECT_EQ(list, Read("dump.csv"));
    EXPECT_NE(list.find("S75,Far"), std::string::npos);

    device_->ClearDialList();
    const auto upload = Cli({"upload", "--host", address_, Path("list.csv"), "--verify"});
    EXPECT_EQ(upload.status, 0);
    EXPECT_EQ(
        upload.out,
        "Upload completed.\nRead back and verified: 2 speed dials, 1 groups, 1 buttons, sender "
        "name.\n");
    ASSERT_TRUE(device_->DumpUserFile(Path("dump.csv")));
    EXPECT_EQ(Read("dump.csv"), list);
    // Each run's temporary files live in a folder of its own, gone with the run.
    for (const auto& entry : std::filesystem::directory_iterator(Path("data"))) {
        EXPECT_TRUE(!entry.is_directory() || entry.path().filename() == "backups") << entry.path();
    }
    EXPECT_EQ(device_->Counters().occupyEnds, 3);  // download, backup read, upload
}

TEST_F(CliTransfer, UploadOfAFileWithErrorsSendsNothing) {
    Serve(43);
    dir_.Write("bad.csv", "S1,Office,03-555-123,\r\nS999,Nowhere,1,\r\n");
    const auto upload = Cli({"upload", "--host", address_, Path("bad.csv")});
    EXPECT_EQ(upload.status, 1);
    EXPECT_EQ(upload.err.rfind("Line number:   2 ", 0), 0u) << upload.err;
    EXPECT_TRUE(upload.err.ends_with("\nUpload failed.\n")) << upload.err;
    EXPECT_EQ(FrameWrites(), 0);
    EXPECT_EQ(device_->StoredCount('S'), 2);

    const auto missing = Cli({"upload", "--host", address_, Path("none.csv")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(FrameWrites(), 0);
}

// Control bytes around a fax number: `check` accepts the file, and the upload sends the number
// without them, so what the user was told and what the MFP stores agree.
TEST_F(CliTransfer, ControlBytesAroundFieldsAreTrimmedAlikeByCheckAndUpload) {
    Serve(224);
    dir_.Write("ctl.csv", std::string("S1,Office,\"\t0123\x01\",\r\nS2,\" Other\x04\",0456\0,\r\n"
                                      "N,Head Office\r\n",
                                      57));
    const auto check = Cli({"check", Path("ctl.csv")});
    EXPECT_EQ(check.status, 0) << check.out << check.err;

    device_->ClearDialList();
    const auto upload = Cli({"upload", "--host", address_, Path("ctl.csv"), "--verify"});
    EXPECT_EQ(upload.status, 0);
    EXPECT_EQ(upload.out.rfind("Upload completed.\n", 0), 0u) << upload.out;
    ASSERT_TRUE(device_->DumpUserFile(Path("dump.csv")));
    const std::string stored = Read("dump.csv");
    EXPECT_NE(stored.find("S1,Office,0123,"), std::string::npos) << stored;
    EXPECT_NE(stored.find("S2,Other,0456,"), std::string::npos) << stored;
    for (const char c : stored) {
        if (c != '\r' && c != '\n') {
            ASSERT_GE(static_cast<unsigned char>(c), 0x20u) << stored;
        }
    }
}

}  // namespace
}  // namespace dialvane
