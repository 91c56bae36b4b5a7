#include <gtest/gtest.h>

#include <QAction>
#include <algorithm>

#include "support/MainWindowFixture.h"

namespace dialvane {
namespace {

using UndoTest = testing::MainWindowTest;

bool HasMember(const DialModel& model, int group, int speedDial) {
    return std::ranges::count(model.groups[group].members, GroupMember{'S', speedDial}) > 0;
}

// S001 of the sample list is bound to quick dial 1 and a member of G01 and G02: deleting it takes
// all three away in one step, and undo brings all three back.
TEST_F(UndoTest, DeleteWithItsUsesIsOneStepAndUndoingToTheSavedListClearsTheMark) {
    environment->user.ipAddress = StartEmulator(132, testing::kSampleList);
    ASSERT_TRUE(device);
    environment->settings.disp = 0;
    Make("DX-R7700");
    Select(3, {PromptAnswer::Yes});
    ASSERT_TRUE(form->EditorShown());
    const DialModel& model = form->Model();
    ASSERT_EQ(model.bindings[1], "S001");
    ASSERT_TRUE(HasMember(model, 1, 1) && HasMember(model, 2, 1));
    EXPECT_FALSE(form->MN_Undo->isEnabled());
    EXPECT_FALSE(form->isWindowModified());

    form->Speed_Grid_Set(1);
    Click(form->BTN_Speed_Del, {PromptAnswer::Yes});
    ASSERT_TRUE(model.speedDials[1].key.empty());
    EXPECT_TRUE(model.bindings[1].empty());
    EXPECT_FALSE(HasMember(model, 1, 1) || HasMember(model, 2, 1));
    EXPECT_TRUE(form->isWindowModified());
    EXPECT_EQ(form->MN_Undo->text().toStdString(), "Undo Delete Speed Dial");
    ASSERT_TRUE(form->MN_Undo->isEnabled());

    form->MN_Undo->trigger();
    EXPECT_EQ(model.speedDials[1].name, "Head Office");
    EXPECT_EQ(model.bindings[1], "S001");
    EXPECT_TRUE(HasMember(model, 1, 1) && HasMember(model, 2, 1));
    EXPECT_FALSE(form->isWindowModified());
    EXPECT_EQ(form->MN_Redo->text().toStdString(), "Redo Delete Speed Dial");
    // Back at the list as read, leaving asks nothing about changed data.
    const std::size_t asked = prompt->Requests().size();
    EXPECT_FALSE(form->Edit_Update_Check(false));
    EXPECT_EQ(prompt->Requests().size(), asked);

    form->MN_Redo->trigger();
    EXPECT_TRUE(model.speedDials[1].key.empty());
    EXPECT_TRUE(model.bindings[1].empty());
    EXPECT_FALSE(HasMember(model, 2, 1));
    EXPECT_TRUE(form->isWindowModified());

    // Saved, the list without S001 is the clean one: undoing now is a change to save.
    saveAs = dir.File("without-s001.csv");
    Click(form->BTN_Save);
    EXPECT_FALSE(form->isWindowModified());
    form->MN_Undo->trigger();
    EXPECT_EQ(model.bindings[1], "S001");
    EXPECT_TRUE(form->isWindowModified());
    EXPECT_TRUE(model.modified.speedDials && model.modified.groups && model.modified.bindings);

    // A sender name is one step once it is taken, as the page is left.
    form->TabCtrl->setCurrentIndex(3);
    form->CB_Sender->setEditText("Front Desk");
    form->TabCtrl->setCurrentIndex(0);
    EXPECT_EQ(form->MN_Undo->text().toStdString(), "Undo Change Sender Name");
    form->MN_Undo->trigger();
    EXPECT_EQ(model.senderName, "ORVEX Sales Tokyo");
    EXPECT_EQ(form->CB_Sender->currentText().toStdString(), "ORVEX Sales Tokyo");
}

}  // namespace
}  // namespace dialvane
