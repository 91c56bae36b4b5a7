// dialvane-cli over USB: the built program, our channel library beside it, the emulator's
// pseudo-terminal as the printer, named in the library's mapping file.
#include <gtest/gtest.h>

#include "UsbStandIn.h"
#include "support/FileUtil.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

// The delivered settings with the stand-in's model among the supported ones.
std::string SettingsWithTheStandIn() {
    std::string settings = ReadFileBytes(DIALVANE_SOURCE_DIR "/config/dialvane.ini").value_or("");
    const std::string current = "PRTMDLNAME=DX-M100\n";
    settings.replace(settings.find(current), current.size(),
                     current + "PRINTER_MODEL_1=ORVEX DX-R7700\nPRTMDLNAME_1=DX-R7700\n");
    return settings;
}

class UsbCli : public ::testing::Test {
  protected:
    // No scheduler: the printer comes from the mapping file alone.
    void SetUp() override { setenv("CUPS_SERVER", dir_.File("no-cups.sock").c_str(), 1); }
    void TearDown() override { unsetenv("CUPS_SERVER"); }
    testing::CliRun Cli(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--settings", settingsFile_});
        return testing::RunCli(dir_, args);
    }

    testing::TempDir dir_;
    const std::string settingsFile_ = dir_.Write("dialvane.ini", SettingsWithTheStandIn());
    testing::UsbStandIn standIn_{dir_, settingsFile_, "Front desk"};
};

TEST_F(UsbCli, TestDownloadAndVerifiedUploadOverTheStandIn) {
    const testing::CliRun test = Cli({"test", "--usb"});
    EXPECT_EQ(test.status, 0) << test.out << test.err;
    EXPECT_EQ(test.out, "USB Test OK. Model Name: DX-R7700 Printer: Front desk\n");

    const testing::CliRun download = Cli({"download", "--usb", "-o", dir_.File("usb.csv")});
    ASSERT_EQ(download.status, 0) << download.out << download.err;

    standIn_.device->ClearDialList();
    const testing::CliRun upload =
        Cli({"upload", "--usb", "--printer", "Front desk", "--verify", standIn_.list});
    ASSERT_EQ(upload.status, 0) << upload.out << upload.err;
    EXPECT_TRUE(standIn_.device->Problems().empty());
    EXPECT_FALSE(standIn_.device->Occupied());
    EXPECT_EQ(dir_.Read("usb.csv"), standIn_.Dump());

    const testing::CliRun missing = Cli({"test", "--usb", "--printer", "Nowhere"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Make sure the device is properly connected."), std::string::npos)
        << missing.err;
    EXPECT_NE(missing.err.find("USB Test NG."), std::string::npos);
    EXPECT_EQ(missing.out, "");
}

// The cable pulled in the middle: the lost connection once, then the run's failure; the fax is
// free and the printer's node gone.
TEST_F(UsbCli, UnplugInTheMiddleEndsTheDownloadWithOneMessage) {
    EmulatorFaults faults;
    faults.disconnect = CommandMatch::Nth(3, ToolCommand::FrameRead);
    standIn_.device->SetFaults(faults);
    const testing::CliRun download = Cli({"download", "--usb", "-o", dir_.File("out.csv")});
    EXPECT_EQ(download.status, 1);
    EXPECT_TRUE(
        download.err.ends_with("\nDownload failed.\n( Transmission stopped. by device error. )\n"))
        << download.err;
    const std::size_t lost = download.err.find("\nDisconnected USB.\n");
    EXPECT_NE(lost, std::string::npos) << download.err;
    EXPECT_EQ(download.err.find("Disconnected USB.", lost + 2), std::string::npos) << download.err;
    EXPECT_FALSE(standIn_.device->Occupied());
    EXPECT_FALSE(FileExists(dir_.File("lp0")));
    EXPECT_FALSE(FileExists(dir_.File("out.csv")));
}

}  // namespace
}  // namespace dialvane
