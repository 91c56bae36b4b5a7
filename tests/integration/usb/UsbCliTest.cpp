// dialvane-cli over USB: the built program, our channel library beside it, the emulator's
// pseudo-terminal as the printer, named in the library's mapping file.
#include <gtest/gtest.h>

#include "support/EmulatorProgram.h"
#include "support/FileUtil.h"
#include "support/RunCli.h"
#include "support/TempDir.h"
#include "support/UsbStandIn.h"

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
    void SetUp() override {
        setenv("CUPS_SERVER", dir_.File("no-cups.sock").c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1);
    }
    void TearDown() override {
        unsetenv("CUPS_SERVER");
        unsetenv("XDG_CONFIG_HOME");
    }
    testing::CliRun Cli(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--settings", settingsFile_});
        return testing::RunCli(dir_, args);
    }

    testing::TempDir dir_;
    const std::string settingsFile_ = dir_.Write("dialvane.ini", SettingsWithTheStandIn());
};

// As the README tells a user to try USB without hardware: the emulator program serves on a
// stand-in that the mapping file names; the command line tests, writes and reads it.
TEST_F(UsbCli, TestVerifiedUploadAndDownloadAgainstTheEmulatorProgram) {
    const std::string link = dir_.File("lp0"), id = "MFG:ORVEX;MDL:DX-R7700;SN:FD1;";
    testing::EmulatorProgram emulator(
        dir_, {"--usb-pty", link, "--device-id", id, "--settings", settingsFile_, "--dump-on-exit",
               dir_.File("held.csv")});
    EXPECT_EQ(emulator.announcement, "dialvane-mfp-emulator: DX-R7700 on USB stand-in " + link +
                                         ", device ID " + id + " (extended format)");
    MakeDirectories(dir_.File("ORVEX/Dialvane"));
    dir_.Write("ORVEX/Dialvane/zeviz.ini", "[Front desk]\nDevice=" + link + "\nDeviceID=" + id);

    const testing::CliRun test = Cli({"test", "--usb"});
    EXPECT_EQ(test.status, 0) << test.out << test.err;
    EXPECT_EQ(test.out, "USB Test OK. Model Name: DX-R7700 Printer: Front desk\n");

    const std::string list = dir_.Write("full.csv", testing::FullDialList());
    const testing::CliRun upload =
        Cli({"upload", "--usb", "--printer", "Front desk", "--verify", list});
    ASSERT_EQ(upload.status, 0) << upload.out << upload.err;
    const testing::CliRun download = Cli({"download", "--usb", "-o", dir_.File("usb.csv")});
    ASSERT_EQ(download.status, 0) << download.out << download.err;

    EXPECT_EQ(emulator.Stop(), 0);
    EXPECT_EQ(emulator.Errors(), "");  // no command out of order
    EXPECT_EQ(dir_.Read("usb.csv"), dir_.Read("held.csv"));

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
    testing::UsbStandIn standIn_{dir_, settingsFile_, "Front desk"};
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
