// The whole USB path without hardware: the binding loads our channel library, which opens the
// emulator's pseudo-terminal named by the library's mapping file.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "MfpEmulator.h"
#include "comm/DeviceSession.h"
#include "data/ProductInfo.h"
#include "support/FullDialList.h"
#include "support/ScriptedPrompt.h"
#include "support/ServedMfp.h"
#include "support/TempDir.h"
#include "transport/ChannelLibrary.h"

namespace dialvane {
namespace {

constexpr const char* kSettings =
    "[DX-R7700]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
    "ZEVIZLibrary=1\n";

class UsbSession : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_.Write("dialvane.ini", kSettings);
        list_ = dir_.Write("full.csv", testing::FullDialList());
        // The library finds the stand-in through its own settings file.
        setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1);
    }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

    MfpEmulator& StartStandIn() {
        MfpEmulatorOptions options;
        options.usbPtyLink = dir_.File("lp0");
        options.settingsPath = dir_.File("dialvane.ini");
        emulator_ = std::make_unique<MfpEmulator>(options);
        std::string error;
        EXPECT_TRUE(emulator_->Start(&error)) << error;
        EXPECT_TRUE(emulator_->LoadUserFile(list_, &error)) << error;
        MakeDirectories(dir_.File("ORVEX/Dialvane"));
        dir_.Write("ORVEX/Dialvane/zeviz.ini", "[DX7700]\nDevice=" + options.usbPtyLink +
                                                   "\nDeviceID=" + emulator_->DeviceId() + "\n");
        return *emulator_;
    }

    std::unique_ptr<ChannelLibrary> MakeChannel() {
        ChannelLibrarySetup setup;
        setup.libraryFolder = ChannelLibraryFolder(DIALVANE_BINARY_DIR "/tests");
        setup.models = {"ORVEX DX-R7700"};
        const std::string mapping = dir_.File("ORVEX/Dialvane/zeviz.ini");
        setup.listPrinters = [mapping, models = setup.models] {
            PrinterSources sources;
            sources.useCups = false;
            sources.usbClassFolder = "/nonexistent";
            sources.mappingFile = mapping;
            return ListUsbPrinters(models, sources);
        };
        return std::make_unique<ChannelLibrary>(setup);
    }

    DeviceSessionSettings Settings(const std::string& tag) const {
        DeviceSessionSettings settings;
        settings.engine.env.timeout = 5000;
        settings.engine.verify = true;
        settings.downloadFile = dir_.File("download-" + tag + ".tmp");
        settings.sendFile = dir_.File("send-" + tag + ".tmp");
        return settings;
    }

    testing::TempDir dir_;
    std::string list_;
    std::unique_ptr<MfpEmulator> emulator_;
};

TEST_F(UsbSession, DownloadAndVerifiedUploadOverTheStandInMatchTheNetwork) {
    MfpEmulator& usbDevice = StartStandIn();
    auto channel = MakeChannel();
    testing::ScriptedPrompt prompt;
    TProductInfo product(dir_.File("dialvane.ini"));
    {
        DeviceSession session(Settings("usb"));
        session.UseChannel(channel.get());
        session.SetPrompt(&prompt);
        ASSERT_EQ(session.Inquire(product).channelTestResult, 0);
        EXPECT_EQ(channel->PrinterName(), "DX7700");
        RecordTable table(product);
        EXPECT_TRUE(session.Download(table, product, dir_.File("usb.csv")).success);

        usbDevice.ClearDialList();
        std::string error;
        ASSERT_TRUE(session.Upload(table, product, &error).success) << error;
        EXPECT_TRUE(usbDevice.Problems().empty());
        EXPECT_FALSE(usbDevice.Occupied());
    }

    MfpEmulatorOptions options;
    options.settingsPath = dir_.File("dialvane.ini");
    const testing::ServedMfp network(dir_, 240, testing::FullDialList(), options);
    DeviceSession session(Settings("tcp"));
    session.UseNetwork(network.Address());
    session.SetPrompt(&prompt);
    RecordTable table(product);
    EXPECT_TRUE(session.Download(table, product, dir_.File("tcp.csv")).success);
    EXPECT_EQ(dir_.Read("usb.csv"), dir_.Read("tcp.csv"));
    channel->ChannelRelease();
}

TEST_F(UsbSession, UnplugInTheMiddleEndsTheRunWithOneMessage) {
    MfpEmulator& device = StartStandIn();
    EmulatorFaults faults;
    faults.disconnect = CommandMatch::Nth(3, ToolCommand::FrameRead);
    device.SetFaults(faults);
    auto channel = MakeChannel();
    testing::ScriptedPrompt prompt;
    TProductInfo product(dir_.File("dialvane.ini"));
    product.Load("DX-R7700");
    DeviceSession session(Settings("unplug"));
    session.UseChannel(channel.get());
    session.SetPrompt(&prompt);
    RecordTable table(product);
    const RunResult result = session.Download(table, product, dir_.File("out.csv"));

    EXPECT_FALSE(result.success);
    // As over the network: the lost connection once, then the run's one completion message.
    const std::vector<PromptRequest> asked = prompt.Requests();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, "Disconnected USB.");
    EXPECT_EQ(asked[1].text, "Download failed.\r\n( Transmission stopped. by device error. )");
    EXPECT_FALSE(channel->Connected());
    EXPECT_FALSE(device.Occupied());
    EXPECT_FALSE(FileExists(dir_.File("lp0")));
    channel->ChannelRelease();
}

}  // namespace
}  // namespace dialvane
