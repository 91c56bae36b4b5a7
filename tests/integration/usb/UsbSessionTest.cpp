// The whole USB path without hardware: the binding loads our channel library, which opens the
// emulator's pseudo-terminal named by the library's mapping file.
#include <gtest/gtest.h>

#include "UsbStandIn.h"
#include "comm/DeviceSession.h"
#include "data/ProductInfo.h"
#include "support/ScriptedPrompt.h"
#include "support/ServedMfp.h"
#include "support/SessionSettings.h"
#include "support/TempDir.h"
#include "transport/ChannelLibrary.h"

namespace dialvane {
namespace {

constexpr const char* kSettings =
    "[DX-R7700]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
    "ZEVIZLibrary=1\n";

class UsbSession : public ::testing::Test {
  protected:
    std::unique_ptr<ChannelLibrary> MakeChannel() {
        ChannelLibrarySetup setup;
        setup.libraryFolder = ChannelLibraryFolder(DIALVANE_BINARY_DIR "/tests");
        setup.models = {"ORVEX DX-R7700"};
        setup.listPrinters = [mapping = standIn_.mapping, models = setup.models] {
            PrinterSources sources;
            sources.useCups = false;
            sources.usbClassFolder = "/nonexistent";
            sources.mappingFile = mapping;
            return ListUsbPrinters(models, sources);
        };
        return std::make_unique<ChannelLibrary>(setup);
    }

    DeviceSessionSettings Settings(const std::string& tag) const {
        return testing::SessionSettingsIn(dir_, tag);
    }

    testing::TempDir dir_;
    testing::UsbStandIn standIn_{dir_, dir_.Write("dialvane.ini", kSettings), "DX7700"};
};

TEST_F(UsbSession, DownloadAndVerifiedUploadOverTheStandInMatchTheNetwork) {
    MfpEmulator& usbDevice = *standIn_.device;
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
    MfpEmulator& device = *standIn_.device;
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
