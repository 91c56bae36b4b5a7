// The whole USB path without hardware: the binding loads our channel library, which opens the
// emulator's pseudo-terminal named by the library's mapping file.
#include <gtest/gtest.h>

#include "UsbStandIn.h"
#include "comm/DeviceSession.h"
#include "data/ProductInfo.h"
#include "support/FileUtil.h"
#include "support/ScriptedPrompt.h"
#include "support/SessionSettings.h"
#include "support/TempDir.h"
#include "transport/ChannelLibrary.h"

namespace dialvane {
namespace {

constexpr const char* kSettings =
    "[DX-R7700]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
    "ZEVIZLibrary=1\n";

TEST(UsbSession, UnplugInTheMiddleEndsTheRunWithOneMessage) {
    testing::TempDir dir;
    testing::UsbStandIn standIn(dir, dir.Write("dialvane.ini", kSettings), "DX7700");
    EmulatorFaults faults;
    faults.disconnect = CommandMatch::Nth(3, ToolCommand::FrameRead);
    standIn.device->SetFaults(faults);
    ChannelLibrarySetup setup;
    setup.libraryFolder = ChannelLibraryFolder(DIALVANE_BINARY_DIR "/tests");
    setup.models = {"ORVEX DX-R7700"};
    setup.listPrinters = [mapping = standIn.mapping, models = setup.models] {
        PrinterSources sources;
        sources.useCups = false;
        sources.usbClassFolder = "/nonexistent";
        sources.mappingFile = mapping;
        return ListUsbPrinters(models, sources);
    };
    ChannelLibrary channel(setup);
    testing::ScriptedPrompt prompt;
    DeviceSession session(testing::SessionSettingsIn(dir, "usb"));
    session.UseChannel(&channel);
    session.SetPrompt(&prompt);
    TProductInfo product(dir.File("dialvane.ini"));
    product.Load("DX-R7700");
    RecordTable table(product);
    EXPECT_FALSE(session.Download(table, product, dir.File("out.csv")).success);

    // As over the network: the lost connection once, then the run's one completion message.
    const std::vector<PromptRequest> asked = prompt.Requests();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, "Disconnected USB.");
    EXPECT_EQ(asked[1].text, "Download failed.\r\n( Transmission stopped. by device error. )");
    EXPECT_FALSE(channel.Connected());
    EXPECT_FALSE(standIn.device->Occupied());
    EXPECT_FALSE(FileExists(dir.File("lp0")));
    channel.ChannelRelease();
}

}  // namespace
}  // namespace dialvane
