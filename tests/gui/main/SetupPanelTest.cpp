// The connection setup panel: the address list, its checks, OK and Cancel, the network test and
// the way out after a failed start-up inquiry.
#include <gtest/gtest.h>

#include <QDialog>
#include <QTest>

#include "support/MainWindowFixture.h"
#include "ui/StartupMessageForm.h"

namespace dialvane {
namespace {

using testing::Lines;

class SetupPanel : public testing::MainWindowTest {
  protected:
    // A window whose device is ready (offline: no device is asked), on the setup panel.
    void OpenPanel(std::vector<std::string> addresses = {}) {
        environment->offlineMode = true;
        environment->user.ipHistory = addresses;
        environment->user.ipAddress = addresses.empty() ? "" : addresses.front();
        Make();
        form->StartupTimerTimer();
        ASSERT_TRUE(form->DeviceReady());
        Select(5);
        ASSERT_EQ(form->MainMode(), MainModeKind::Setup);
    }

    void Type(const std::string& text) {
        form->CB_IP_Addr->setEditText(QString::fromStdString(text));
    }
    Lines Listed() const { return testing::Column(form->CB_IP_Addr->model()); }
    Lines StatusLines() const { return testing::Column(form->LB_Status->model()); }
};

// Typing starts in the address field. Register, or Enter there, checks the address and puts it
// on top of the five most recent; OK stores them as four decimal numbers.
TEST_F(SetupPanel, AddressesAreCheckedKeptFiveDeepAndStoredByOk) {
    OpenPanel();
    EXPECT_EQ(form->focusWidget(), form->CB_IP_Addr);
    const std::string count = "Invalid syntax. Check the number of specified values.";
    const std::string value = "Invalid syntax. Check the specified values.";
    const struct {
        const char* typed;
        std::string message;  // empty: accepted
        const char* stored;
    } cases[] = {
        {"192.168.0.256", value, ""},
        {"192.168.0", count, ""},
        {"192.168.0.1.2", count, ""},
        {"0x10.1.1.1", value, ""},
        {"+5.1.1.1", value, ""},
        {"192..0.1", value, ""},
        {"192.168.0.1.", "", "192.168.0.1"},
        {"192.168.010.1", "", "192.168.10.1"},
        {" 10.0.0.7 ", "", "10.0.0.7"},
    };
    for (const auto& c : cases) {
        const size_t asked = prompt->Requests().size();
        Type(c.typed);
        form->BTN_IP_Ent->click();
        if (c.message.empty()) {
            EXPECT_EQ(prompt->Requests().size(), asked) << c.typed;
            EXPECT_EQ(Listed().front(), c.stored) << c.typed;
        } else {
            EXPECT_EQ(prompt->Shown(asked), Lines{"IP Address Input Error: " + c.message});
            EXPECT_EQ(prompt->Last().icon, PromptIcon::Warning);
        }
    }
    EXPECT_EQ(Listed(), (Lines{"10.0.0.7", "192.168.10.1", "192.168.0.1"}));
    Type("  ");
    form->BTN_IP_Ent->click();
    EXPECT_EQ(prompt->Shown().back(), "Input Error: Not Enter Data.");

    for (int i = 1; i <= 3; ++i) {
        Type("10.0.0." + std::to_string(i));
        QTest::keyClick(form->CB_IP_Addr->lineEdit(), Qt::Key_Return);
    }
    EXPECT_EQ(Listed(), (Lines{"10.0.0.3", "10.0.0.2", "10.0.0.1", "10.0.0.7", "192.168.10.1"}));
    EXPECT_EQ(form->MainMode(), MainModeKind::Setup);
    EXPECT_EQ(form->focusWidget(), form->CB_IP_Addr);
    Type("10.0.0.1");
    form->BTN_IP_Ent->click();
    EXPECT_TRUE(environment->user.ipHistory.empty());  // only OK or Test store
    const size_t asked = prompt->Requests().size();
    form->BTN_OK_Setup->click();
    EXPECT_EQ(prompt->Requests().size(), asked);
    EXPECT_EQ(form->MainMode(), MainModeKind::Standby);
    EXPECT_EQ(environment->user.ipHistory,
              (Lines{"10.0.0.1", "10.0.0.3", "10.0.0.2", "10.0.0.7", "192.168.10.1"}));
    EXPECT_EQ(environment->user.ipAddress, "10.0.0.1");
}

TEST_F(SetupPanel, ButtonsFollowTheConnectionKindAndTheList) {
    OpenPanel();
    ASSERT_TRUE(form->GB_Dev_Items[1]->isChecked());
    EXPECT_FALSE(form->BTN_OK_Setup->isEnabled());  // network with nothing registered
    Type("10.0.0.1");
    EXPECT_TRUE(form->BTN_OK_Setup->isEnabled());
    Type("");
    form->GB_Dev_Items[0]->click();
    EXPECT_TRUE(form->BTN_OK_Setup->isEnabled());
    EXPECT_FALSE(form->BTN_Test->isEnabled());

    // A changed kind is a change: Cancel, or leaving through the tree, asks; No keeps the panel.
    Click(form->BTN_Cancel_Setup, {PromptAnswer::No});
    Select(2, {PromptAnswer::No});
    EXPECT_EQ(prompt->Shown(), Lines(2,
                                     "Confirm Exit: Data has been modified. Continue without "
                                     "updating settings?"));
    EXPECT_EQ(prompt->Last().defaultAnswer, PromptAnswer::No);
    EXPECT_EQ(form->MainMode(), MainModeKind::Setup);
    EXPECT_EQ(form->TV_Ctrl->currentItem(), form->Node(5));
    Select(2, {PromptAnswer::Yes});
    EXPECT_TRUE(form->EditorShown());
    EXPECT_EQ(form->TV_Ctrl->currentItem(), form->Node(2));
    EXPECT_EQ(environment->user.connection, 1);  // the choice was discarded

    // Back on the panel with only the text edited: nothing to ask.
    Select(5);
    Type("10.0.0.9");
    form->BTN_Cancel_Setup->click();
    EXPECT_EQ(prompt->Requests().size(), 3u);
    EXPECT_EQ(form->MainMode(), MainModeKind::Standby);
    EXPECT_TRUE(environment->user.ipAddress.empty());
}

TEST_F(SetupPanel, OkOffersToRegisterATypedAddressAndDeleteAsksFirst) {
    OpenPanel({"10.0.0.1", "10.0.0.2"});
    Type("10.0.0.2");
    Click(form->BTN_OK_Setup, {PromptAnswer::Cancel});
    EXPECT_EQ(prompt->Shown(), Lines{"Confirm Registration: Entered IP address has not been "
                                     "registered.\r\n Ready to set after registering?"});
    EXPECT_EQ(prompt->Last().buttons, PromptButtons::YesNoCancel);
    EXPECT_EQ(form->MainMode(), MainModeKind::Setup);

    form->CB_IP_Addr->setCurrentIndex(1);
    Click(form->BTN_Setup_Del, {PromptAnswer::Yes});
    EXPECT_EQ(prompt->Last().text, "OK. to delete an IP address[10.0.0.2]?");
    EXPECT_EQ(Listed(), Lines{"10.0.0.1"});
    EXPECT_EQ(form->CB_IP_Addr->currentText().toStdString(), "10.0.0.1");  // the current one

    Type("10.0.0.5");
    Click(form->BTN_OK_Setup, {PromptAnswer::Yes});
    EXPECT_EQ(form->MainMode(), MainModeKind::Standby);
    EXPECT_EQ(environment->user.ipHistory, (Lines{"10.0.0.5", "10.0.0.1"}));
    EXPECT_EQ(environment->user.ipAddress, "10.0.0.5");
}

TEST_F(SetupPanel, UsbWithoutThePrinterDriverLeadsBackToThePanel) {
    OpenPanel({"10.0.0.1"});
    form->GB_Dev_Items[0]->click();
    form->BTN_OK_Setup->click();
    EXPECT_EQ(prompt->Shown(), Lines{"Dialvane: Not exist Printer Driver."});
    EXPECT_EQ(environment->user.connection, 0);
    EXPECT_FALSE(form->DeviceReady());
    EXPECT_EQ(form->MainMode(), MainModeKind::Setup);
    EXPECT_FALSE(form->BTN_Cancel_Setup->isEnabled());
    EXPECT_TRUE(form->GB_Dev_Items[0]->isChecked());
    // Back to the network: the inquiry runs again and the window is usable.
    form->GB_Dev_Items[1]->click();
    form->BTN_OK_Setup->click();
    EXPECT_TRUE(form->DeviceReady());
    EXPECT_TRUE(form->TV_Ctrl->isEnabled());
}

TEST_F(SetupPanel, NetworkTestReportsTheModelOrTheCause) {
    const std::string address = StartEmulator(211, testing::kSampleList);
    OpenPanel();
    Type(address);
    form->BTN_Test->click();
    EXPECT_FALSE(form->isEnabled());
    EXPECT_FALSE(form->BTN_OK_Setup->isEnabled());
    ASSERT_TRUE(testing::ProcessUntil([&] { return !form->InquiryRunning(); }));
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(StatusLines(), (Lines{"Now Testting..,Please just waiting.",
                                    "Network Test OK. Model Name: DX-R7700"}));
    EXPECT_EQ(environment->user.ipAddress, address);  // the test stores what it tried
    EXPECT_TRUE(form->BTN_OK_Setup->isEnabled());

    Type(testing::LoopbackAddress(212));  // nobody listens there
    form->BTN_Test->click();
    ASSERT_TRUE(testing::ProcessUntil([&] { return !form->InquiryRunning(); }));
    EXPECT_EQ(StatusLines(), (Lines{"Now Testting..,Please just waiting.", "Network Test NG.",
                                    "Check the cables, power supply, and IP address. (connection "
                                    "refused)"}));
    EXPECT_EQ(Listed(), (Lines{testing::LoopbackAddress(212), address}));
    EXPECT_TRUE(prompt->Requests().empty());
}

// A first start on an empty data folder: the inquiry fails, the setup panel opens and can only
// be left by OK, which runs the inquiry again and makes the window usable.
TEST_F(SetupPanel, FirstStartWalksFromTheFailedInquiryToAUsableWindow) {
    const std::string address = StartEmulator(213, testing::kSampleList);
    environment->user.ipHistory.clear();
    environment->user.ipAddress.clear();
    Make("Unknown");
    bool noticeShownWithWarning = true;
    prompt->onAsk = [&](const PromptRequest& request) {
        if (request.text == "Make sure the device is properly connected.") {
            noticeShownWithWarning = form->StartupMessage()->isVisible();
        }
    };
    form->StartupTimerTimer();
    ASSERT_TRUE(testing::ProcessUntil([&] { return !form->InquiryRunning(); }));
    EXPECT_EQ(prompt->Shown(), Lines{"Dialvane: Make sure the device is properly connected."});
    EXPECT_EQ(prompt->Last().icon, PromptIcon::Warning);
    EXPECT_FALSE(noticeShownWithWarning);
    ASSERT_EQ(form->MainMode(), MainModeKind::Setup);
    EXPECT_FALSE(form->DeviceReady());
    EXPECT_FALSE(form->BTN_Cancel_Setup->isEnabled());
    EXPECT_FALSE(form->TV_Ctrl->isEnabled());
    EXPECT_FALSE(form->MN_Edit->isEnabled());
    EXPECT_FALSE(form->BTN_OK_Setup->isEnabled());

    Type(address);
    ASSERT_TRUE(form->BTN_OK_Setup->isEnabled());
    Click(form->BTN_OK_Setup, {PromptAnswer::Yes});  // register it
    EXPECT_EQ(Texts("Confirm Registration").size(), 1u);
    ASSERT_TRUE(testing::ProcessUntil([&] { return !form->InquiryRunning(); }));
    EXPECT_TRUE(form->isEnabled());
    EXPECT_TRUE(form->DeviceReady());
    EXPECT_TRUE(form->TV_Ctrl->isEnabled());
    // The reported model replaces "Unknown", with its profile.
    EXPECT_EQ(form->windowTitle().toStdString(), "Dialvane - DX-R7700");
    EXPECT_EQ(form->TabCtrl->tabText(2).toStdString(), "Quick Dial");
    EXPECT_EQ(environment->user.ipHistory, Lines{address});
}

TEST_F(SetupPanel, TheInquiryWaitsWhileADialogIsOpen) {
    environment->offlineMode = true;
    Make();
    QDialog question(form.get());
    question.setModal(true);
    question.show();
    form->StartupTimerTimer();
    EXPECT_FALSE(form->DeviceReady());
    EXPECT_TRUE(form->StartupTimer->isActive());
    question.close();
    ASSERT_TRUE(testing::ProcessUntil([&] { return form->DeviceReady(); }));
}

}  // namespace
}  // namespace dialvane
