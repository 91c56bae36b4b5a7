// The one-touch and quick-dial pages with the selection dialog, and the sender page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include "support/MainWindowFixture.h"
#include "ui/QuickDialTab.h"

namespace dialvane {
namespace {

using testing::Lines;

class ButtonPages : public testing::MainWindowTest {
  protected:
    // A new list with two speed dials and a group of both, on the button page.
    void OpenWithTargets(const std::string& model) {
        NewList(model);
        AddSpeedDial(1, "Head Office", "0355501000");
        AddSpeedDial(2, "Branch", "0655502000");
        PutGroup(form->Model(), 1, "Team", {1, 2});
        form->Model().groupDisplay[1] = GroupDisplay{"G01", "Team", ""};
        form->TabCtrl->setCurrentIndex(2);
    }

    QLineEdit* QuickEdit(int slot) const { return form->PNL_Quick->EditQuick[slot - 1]; }
    QPushButton* QuickSet(int slot) const { return form->PNL_Quick->ButtonEdit[slot - 1]; }
    QPushButton* QuickClear(int slot) const { return form->PNL_Quick->ButtonClear[slot - 1]; }
};

// A group bound through the window is sent and read back by the window's transfer tests. The
// dialog opens on the slot's binding, or on no row with OK off, so Enter alone never binds.
TEST_F(ButtonPages, QuickDialsAreBoundThroughTheSelectionAndClearedAfterAsking) {
    OpenWithTargets("DX-R7700");
    ASSERT_TRUE(form->PNL_Quick->isVisibleTo(form.get()));
    EXPECT_FALSE(form->PNL_OneTuch->isVisibleTo(form.get()));

    AnswerSelectForm("G01");
    QuickSet(1)->click();
    EXPECT_EQ(selectSeen.title, "Set Quick dial 1");
    EXPECT_EQ(selectSeen.current, "");
    EXPECT_FALSE(selectSeen.okEnabled);
    // The groups follow the speed dials, so a button can be bound to either.
    EXPECT_EQ(selectSeen.keys, (Lines{"S001", "S002", "G01"}));
    EXPECT_EQ(QuickEdit(1)->text().toStdString(), "G01 [Team] Head Office,Branch");
    AnswerSelectForm("S002");
    QuickSet(12)->click();
    EXPECT_EQ(selectSeen.title, "Set Quick dial 12");
    EXPECT_EQ(QuickEdit(12)->text().toStdString(), "S002 [Branch] 0655502000");
    EXPECT_TRUE(QuickClear(12)->isEnabled());
    EXPECT_FALSE(QuickClear(2)->isEnabled());
    // Reopened and cancelled: the dialog was on the binding, and the slot stays as it was.
    for (const auto& [slot, key] : {std::pair(1, "G01"), std::pair(12, "S002")}) {
        AnswerSelectForm("");
        QuickSet(slot)->click();
        EXPECT_EQ(selectSeen.current, key);
        EXPECT_TRUE(selectSeen.okEnabled) << key;
        EXPECT_EQ(form->Model().bindings[slot], key);
    }

    TOneTuchInpForm* dialog = form->SelectForm();
    dialog->Open("Quick dial 2", form->Model());
    dialog->show();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(dialog->SFG_Inport, &enter);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    dialog->reject();
    EXPECT_TRUE(form->Model().bindings[2].empty());

    // A binding whose target is gone shows its key and can be cleared like any other; each
    // clear asks with the slot's number label.
    form->Model().bindings[5] = "S009";  // never registered
    form->Model().bindings[6] = "G07";
    form->TabCtrl->setCurrentIndex(0);  // the page is shown again
    form->TabCtrl->setCurrentIndex(2);
    EXPECT_EQ(QuickEdit(5)->text().toStdString(), "S009 (not registered)");
    EXPECT_EQ(QuickEdit(6)->text().toStdString(), "G07 (not registered)");
    const std::pair<int, PromptAnswer> clears[] = {{12, PromptAnswer::No},
                                                   {1, PromptAnswer::Yes},
                                                   {12, PromptAnswer::Yes},
                                                   {5, PromptAnswer::Yes}};
    for (const auto& [slot, answer] : clears) {
        Click(QuickClear(slot), {answer});
    }
    EXPECT_EQ(prompt->Shown(),
              (Lines{"Confirm: Quick dial 12 Clear?", "Confirm: Quick dial  1 Clear?",
                     "Confirm: Quick dial 12 Clear?", "Confirm: Quick dial  5 Clear?"}));
    EXPECT_EQ(prompt->Requests()[0].defaultAnswer, PromptAnswer::No);
    for (int slot : {1, 5, 12}) {
        EXPECT_TRUE(form->Model().bindings[slot].empty()) << slot;
    }
    EXPECT_EQ(form->Model().bindings[6], "G07");
    EXPECT_TRUE(QuickEdit(1)->text().isEmpty());
    EXPECT_FALSE(QuickClear(1)->isEnabled());
}

TEST_F(ButtonPages, OneTouchModelUsesButtonsAToC) {
    OpenWithTargets("DX-M100");
    ASSERT_TRUE(form->PNL_OneTuch->isVisibleTo(form.get()));
    EXPECT_FALSE(form->PNL_Quick->isVisibleTo(form.get()));
    EXPECT_EQ(form->TabCtrl->tabText(2).toStdString(), "One-touch Dial");
    AnswerSelectForm("S001");
    form->BTN_One[1]->click();
    EXPECT_EQ(selectSeen.title, "Set Button B");
    EXPECT_EQ(form->Model().bindings[2], "S001");
    EXPECT_EQ(form->EDT_One[1]->text().toStdString(), "S001 [Head Office] 0355501000");
    Click(form->BTN_One_Del[1], {PromptAnswer::Yes});
    EXPECT_EQ(prompt->Last().text, "Button B Clear?");
    EXPECT_TRUE(form->Model().bindings[2].empty());
}

TEST_F(ButtonPages, SelectionWithOnlyGroupsReturnsTheGroupAndNeverAnEmptyRow) {
    NewList("DX-R7700");
    form->TabCtrl->setCurrentIndex(2);
    for (int slot = 1; slot <= 12; ++slot) {  // nothing registered: nothing to set
        EXPECT_FALSE(QuickSet(slot)->isEnabled()) << slot;
    }
    DialModel& dial = form->Model();
    dial.groupDisplay[4] = GroupDisplay{"G04", "Night", ""};
    PutGroup(dial, 4, "Night", {});
    TOneTuchInpForm* dialog = form->SelectForm();
    dialog->Open("Quick dial 1", dial);
    ASSERT_EQ(dialog->SFG_Inport->model()->rowCount(), 1);
    emit dialog->SFG_Inport->doubleClicked(dialog->SFG_Inport->model()->index(0, 1));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Selection(), "G04 [Night] ");
}

// The last five names are kept and blanks mean no name; twenty characters fit, wide or not, and
// the twenty-first keeps the user on the tab.
TEST_F(ButtonPages, SenderNamesAreKeptFiveDeepAndCheckedForLength) {
    NewList();
    auto leaveWith = [this](const QString& name) {
        form->TabCtrl->setCurrentIndex(3);
        form->CB_Sender->setEditText(name);
        form->TabCtrl->setCurrentIndex(0);
        return form->TabCtrl->currentIndex();
    };
    for (const char* name : {"One", "Two", "Three", "Four", "Five", "Six", "Three"})
        leaveWith(name);
    EXPECT_EQ(environment->user.senderHistory, (Lines{"Three", "Six", "Five", "Four", "Two"}));
    EXPECT_EQ(leaveWith("   "), 0);
    EXPECT_TRUE(form->Model().senderName.empty());
    EXPECT_TRUE(prompt->Requests().empty());
    EXPECT_EQ(environment->user.senderHistory.size(), 5u);

    for (const QChar c : {QChar('x'), QChar(0x6771)}) {
        const size_t asked = prompt->Requests().size();
        EXPECT_EQ(leaveWith(QString(21, c)), 3);
        EXPECT_EQ(prompt->Shown(asked), Lines{"Input Error: Sender name is too long."});
        EXPECT_EQ(prompt->Last().icon, PromptIcon::Stop);
        EXPECT_EQ(leaveWith(QString(20, c)), 0);
        EXPECT_EQ(form->Model().senderName, QString(20, c).toStdString());
    }
    // Typed, the twenty-first character is not taken at all.
    form->TabCtrl->setCurrentIndex(3);
    form->CB_Sender->setEditText(QString());
    QTest::keyClicks(form->CB_Sender->lineEdit(), QString(21, 'y'));
    EXPECT_EQ(form->CB_Sender->currentText(), QString(20, 'y'));
    EXPECT_EQ(form->LBL_Sender_Used->text(), "20 / 20");
}

}  // namespace
}  // namespace dialvane
