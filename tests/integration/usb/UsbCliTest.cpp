// dialvane-cli over USB: the built program, our channel library beside it, the emulator's
// pseudo-terminal as the printer, named in the library's mapping file.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "MfpEmulator.h"
#include "support/FileUtil.h"
#include "support/FullDialList.h"
#include "support/RunCli.h"
#include "support/ServedMfp.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

class UsbCli : public ::testing::Test {
  protected:
    void SetUp() override {
        // The delivered settings with the stand-in's model among the supported ones.
        std::string settings =
            ReadFileBytes(DIALVANE_SOURCE_DIR "/config/dialvane.ini").value_or("");
        const std::string current = "PRTMDLNAME=DX-M100\n";
        settings.replace(settings.find(current), current.size(),
                         current + "PRINTER_MODEL_1=ORVEX DX-R7700\nPRTMDLNAME_1=DX-R7700\n");
        settingsFile_ = dir_.Write("dialvane.ini", settings);
        list_ = dir_.Write("full.csv", testing::FullDialList());
        setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1);
        // No scheduler: the printer comes from the mapping file alone.
        setenv("CUPS_SERVER", dir_.File("no-cups.sock").c_str(), 1);

        MfpEmulatorOptions options;
        options.usbPtyLink = dir_.File("lp0");
        options.settingsPath = settingsFile_;
        options.model = "DX-R7700";
        device_ = std::make_unique<MfpEmulator>(options);
        std::string error;
        ASSERT_TRUE(device_->Start(&error)) << error;
        ASSERT_TRUE(device_->LoadUserFile(list_, &error)) << error;
        MakeDirectories(dir_.File("ORVEX/Dialvane"));
        dir_.Write("ORVEX/Dialvane/zeviz.ini", "[Front desk]\nDevice=" + options.usbPtyLink +
                                                   "\nDeviceID=" + device_->DeviceId() + "\n");
    }
    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("CUPS_SERVER");
    }
    testing::CliRun Cli(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--settings", settingsFile_});
        return testing::RunCli(dir_, args);
    }

    testing::TempDir dir_;
    std::string settingsFile_;
    std::string list_;
    std::unique_ptr<MfpEmulator> device_;
};

TEST_F(UsbCli, DownloadAndVerifiedUploadGiveTheSameFilesAsTheNetwork) {
    const testing::CliRun test = Cli({"test", "--usb"});
    EXPECT_EQ(test.status, 0) << test.out << test.err;
    EXPECT_EQ(test.out, "USB Test OK. Model Name: DX-R7700 Printer: Front desk\n");

    const testing::CliRun download = Cli({"download", "--usb", "-o", dir_.File("usb.csv")});
    ASSERT_EQ(download.status, 0) << download.out << download.err;

    device_->ClearDialList();
    const testing::CliRun upload =
        Cli({"upload", "--usb", "--printer", "Front desk", "--verify", list_});
    ASSERT_EQ(upload.status, 0) << upload.out << upload.err;
    EXPECT_TRUE(device_->Problems().empty());

    MfpEmulatorOptions options;
    options.settingsPath = settingsFile_;
    const testing::ServedMfp network(dir_, 241, testing::FullDialList(), options);
    const testing::CliRun overTcp =
        Cli({"download", "--host", network.Address(), "-o", dir_.File("tcp.csv")});
    ASSERT_EQ(overTcp.status, 0) << overTcp.out << overTcp.err;
    EXPECT_EQ(dir_.Read("usb.csv"), dir_.Read("tcp.csv"));
}

TEST_F(UsbCli, UnknownPrinterAndConflictingOptionsFailClearly) {
    const testing::CliRun missing = Cli({"test", "--usb", "--printer", "Nowhere"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Make sure the device is properly connected."), std::string::npos)
        << missing.err;
    EXPECT_NE(missing.err.find("USB Test NG."), std::string::npos);
    EXPECT_EQ(missing.out, "");

    const testing::CliRun both = Cli({"test", "--usb", "--host", "127.0.0.1"});
    EXPECT_EQ(both.status, 2);
    EXPECT_NE(both.err.find("test takes --host or --usb, not both"), std::string::npos) << both.err;
    const testing::CliRun neither = Cli({"download", "-o", dir_.File("x.csv")});
    EXPECT_EQ(neither.status, 2);
    EXPECT_NE(neither.err.find("download needs --host or --usb"), std::string::npos);
    EXPECT_NE(Cli({"test", "--printer", "Front desk", "--host", "127.0.0.1"})
                  .err.find("--printer needs --usb"),
              std::string::npos);
}

}  // namespace
}  // namespace dialvane
