// The window's USB choice: chosen on the setup panel, then a read and a verified send through
// the progress dialog, over the channel library and the emulator's stand-in printer node.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "support/MainWindowFixture.h"
#include "support/UsbStandIn.h"

namespace dialvane {
namespace {

class UsbWindow : public testing::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        setenv("CUPS_SERVER", dir.File("no-cups.sock").c_str(), 1);
        standIn = std::make_unique<testing::UsbStandIn>(
            dir, testing::kSettingsFile, "Front desk", ReadFileBytes(testing::kSampleList).value());
        environment->settings.printerModels[1] = "ORVEX DX-R7700";
        environment->settings.shortModelNames[1] = "DX-R7700";
        environment->settings.verify = 1;
        hooks.findPrinter = nullptr;  // the window looks the printer up itself
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        standIn.reset();
        unsetenv("CUPS_SERVER");
    }

    std::unique_ptr<testing::UsbStandIn> standIn;
};

TEST_F(UsbWindow, SetupPanelsUsbChoiceReadsAndSendsOverUsb) {
    environment->offlineMode = true;  // no start-up inquiry; the panel decides
    Make("DX-R7700");
    form->StartupTimerTimer();
    Select(5);
    form->GB_Dev_Items[0]->click();
    // The status list names the maker's USB printer as udev sees it: the stand-in is none.
    ASSERT_EQ(form->LB_Status->count(), 1);
    EXPECT_EQ(form->LB_Status->item(0)->text().toStdString(), "USB device not connected.");
    form->GB_Dev_Items[1]->click();
    EXPECT_EQ(form->LB_Status->count(), 0);
    form->GB_Dev_Items[0]->click();
    form->BTN_OK_Setup->click();
    ASSERT_EQ(form->MainMode(), MainModeKind::Standby);

    Select(3, {PromptAnswer::Yes});
    ASSERT_TRUE(form->EditorShown());
    EXPECT_EQ(Texts("Completion Result"), std::vector<std::string>{"Download completed."});
    EXPECT_EQ(form->Model().speedDials[2].name, "Osaka Branch");

    AddSpeedDial(77, "Added", "0123");
    Click(form->BTN_Save_MFP, {PromptAnswer::Yes});
    EXPECT_EQ(Texts("Completion Result").back().rfind("Upload completed.\r\nRead back", 0), 0u);
    EXPECT_TRUE(standIn->device->StoredValue('S', 77).has_value());
    EXPECT_EQ(standIn->device->Counters().connections, 1);  // one cable, never a network connection
    EXPECT_TRUE(standIn->device->Problems().empty());
}

}  // namespace
}  // namespace dialvane
