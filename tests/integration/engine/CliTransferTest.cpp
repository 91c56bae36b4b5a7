// The built dialvane-cli against the emulated MFP: what the transfer commands print and return.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/FileUtil.h"
#include "support/ServedMfp.h"

namespace dialvane {
namespace {

class CliTransfer : public testing::CliAgainstMfp {};

TEST_F(CliTransfer, TestNamesTheModelOrTheCause) {
    const std::string address = Serve(40, kList).Address();
    const auto ok = Cli({"test", "--host", address});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "Network Test OK. Model Name: DX-R7700\n");

    const auto ng = Cli({"test", "--host", testing::LoopbackAddress(41)});
    EXPECT_EQ(ng.status, 1);
    EXPECT_EQ(ng.err,
              "Network Test NG.\n"
              "Check the cables, power supply, and IP address. (connection refused)\n");
    EXPECT_EQ(ng.out, "");

    const auto unreachable =
        Cli({"download", "--host", testing::LoopbackAddress(41), "-o", Path("none.csv")});
    EXPECT_EQ(unreachable.status, 1);
    EXPECT_TRUE(unreachable.err.ends_with("\nDownload failed.\n")) << unreachable.err;
    EXPECT_FALSE(FileExists(Path("none.csv")));
}

TEST_F(CliTransfer, DownloadThenUploadWithVerifyKeepTheList) {
    testing::ServedMfp& mfp = Serve(42, kList);
    const auto download = Cli({"download", "--host", mfp.Address(), "-o", Path("list.csv")});
    EXPECT_EQ(download.status, 0);
    EXPECT_EQ(download.out, "Download completed.\n");
    const std::string list = dir_.Read("list.csv");
    EXPECT_EQ(list, mfp.Dump());

    mfp->ClearDialList();
    const auto upload = Cli({"upload", "--host", mfp.Address(), Path("list.csv"), "--verify"});
    EXPECT_EQ(upload.status, 0);
    EXPECT_EQ(
        upload.out,
        "Upload completed.\nRead back and verified: 2 speed dials, 1 groups, 1 buttons, sender "
        "name.\n");
    EXPECT_EQ(mfp.Dump(), list);
    // Each run's temporary files live in a folder of its own, gone with the run.
    for (const auto& entry : std::filesystem::directory_iterator(Path("data"))) {
        EXPECT_TRUE(!entry.is_directory() || entry.path().filename() == "backups") << entry.path();
    }
    EXPECT_EQ(mfp->Counters().occupyEnds, 3);  // download, backup read, upload
}

TEST_F(CliTransfer, UploadOfAFileWithErrorsSendsNothing) {
    testing::ServedMfp& mfp = Serve(43, kList);
    dir_.Write("bad.csv", "S1,Office,03-555-123,\r\nS999,Nowhere,1,\r\n");
    const auto upload = Cli({"upload", "--host", mfp.Address(), Path("bad.csv")});
    EXPECT_EQ(upload.status, 1);
    EXPECT_EQ(upload.err.rfind("Line number:   2 ", 0), 0u) << upload.err;
    EXPECT_TRUE(upload.err.ends_with("\nUpload failed.\n")) << upload.err;
    EXPECT_EQ(mfp->Counters().frameWrites, 0);
    EXPECT_EQ(mfp->StoredCount('S'), 2);
}

// Control bytes around a fax number: `check` accepts the file, and the upload sends the number
// without them, so what the user was told and what the MFP stores agree.
TEST_F(CliTransfer, ControlBytesAroundFieldsAreTrimmedAlikeByCheckAndUpload) {
    testing::ServedMfp& mfp = Serve(224, {});
    dir_.Write("ctl.csv", std::string("S1,Office,\"\t0123\x01\",\r\nS2,\" Other\x04\",0456\0,\r\n"
                                      "N,Head Office\r\n",
                                      57));
    const auto check = Cli({"check", Path("ctl.csv")});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    const auto upload = Cli({"upload", "--host", mfp.Address(), Path("ctl.csv"), "--verify"});
    EXPECT_EQ(upload.status, 0) << upload.err;
    EXPECT_EQ(mfp.Dump(), "S1,Office,0123,\r\nS2,Other,0456,\r\nN,Head Office\r\n");
}

}  // namespace
}  // namespace dialvane
