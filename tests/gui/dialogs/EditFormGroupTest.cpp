// The group dialog: moving members between the grids, the checks on OK, recent names, and
// leaving without saving.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "support/GuiTestSupport.h"
#include "ui/EditFormGroup.h"
#include "ui/OneTuchInpForm.h"

namespace dialvane {
namespace {

using Lines = std::vector<std::string>;

class EditFormGroupTest : public testing::GuiTest {
  protected:
    EditFormGroupTest() {
        for (int n : {1, 2, 4, 7, 9}) {
            SpeedDialEntry& entry = model.speedDials[n];
            entry.key = "S00" + std::to_string(n);
            entry.name = "Name" + std::to_string(n);
            entry.faxNumber = "03-" + std::to_string(n);
        }
        // Group 2 "Sales" with S4 and S1, bound to one-touch button 1.
        model.groups[2] = GroupDialEntry{2, "Sales", "", {{'S', 4}, {'S', 1}}};
        model.SetMembership(4, 2);
        model.SetMembership(1, 2);
        model.groups[2].recordText = model.GroupRecordText(2);
        model.groupDisplay[2] = GroupDisplay{"G02", "Sales", model.groups[2].recordText};
        model.bindings[1] = "G02";
    }

    void OpenEdit() {
        form.Open(EditOperationKind::Edit, model.groupDisplay[2], model, "Edit");
        form.show();
    }
    void OpenAdd() {
        form.Open(EditOperationKind::Add, GroupDisplay{}, model, "Add");
        form.show();
    }

    static Lines Keys(const QTableView* grid) { return testing::Column(grid->model()); }
    static int Selected(const QTableView* grid) {
        const QModelIndexList rows = grid->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }

    void AddRow(int row) {
        form.SFG_Speed->selectRow(row);
        form.BTN_Speed_Add->click();
    }
    void RemoveRow(int row) {
        form.SFG_Edit_Group->selectRow(row);
        form.BTN_Relese->click();
    }

    DialModel model;
    std::shared_ptr<testing::ScriptedPrompt> prompt = std::make_shared<testing::ScriptedPrompt>();
    TEditForm_Group form{*prompt};
};

TEST_F(EditFormGroupTest, MembersMoveBetweenTheGridsAndOkOnNoneOffersToDeleteTheGroup) {
    prompt->Reset({PromptAnswer::No, PromptAnswer::Yes});
    OpenEdit();
    EXPECT_EQ(form.CB_Group_Num->count(), 1);
    EXPECT_EQ(form.CB_Group_Num->currentText(), "02");
    EXPECT_EQ(form.CB_Group_Name->currentText(), "Sales");
    EXPECT_EQ(Keys(form.SFG_Edit_Group), (Lines{"S004", "S001"}));  // member order
    EXPECT_EQ(Keys(form.SFG_Speed), (Lines{"S002", "S007", "S009"}));

    AddRow(1);  // S007 becomes the last member
    EXPECT_EQ(Keys(form.SFG_Edit_Group), (Lines{"S004", "S001", "S007"}));
    EXPECT_EQ(Selected(form.SFG_Edit_Group), 2);
    EXPECT_EQ(Keys(form.SFG_Speed), (Lines{"S002", "S009"}));
    EXPECT_EQ(Selected(form.SFG_Speed), 1);
    EXPECT_TRUE(model.TestMembership(7, 2));

    RemoveRow(0);  // S004 goes back, selected
    EXPECT_EQ(Keys(form.SFG_Edit_Group), (Lines{"S001", "S007"}));
    EXPECT_EQ(Keys(form.SFG_Speed), (Lines{"S002", "S004", "S009"}));
    EXPECT_EQ(Selected(form.SFG_Speed), 1);
    EXPECT_FALSE(model.TestMembership(4, 2));

    RemoveRow(0);
    RemoveRow(0);  // an empty member grid shows no row and nothing to delete
    EXPECT_EQ(Keys(form.SFG_Edit_Group), Lines());
    EXPECT_FALSE(form.BTN_Relese->isEnabled());
    // Emptying the group in the dialog touches neither the group's binding nor its row yet.
    EXPECT_EQ(model.bindings[1], "G02");
    EXPECT_EQ(model.groupDisplay[2].key, "G02");

    // OK then offers to delete the group: No stays, Yes deletes it with its binding.
    form.BTN_OK->click();
    EXPECT_EQ(prompt->Shown(), Lines{"Confirm Deletion: Registration data not found in group being "
                                     "edited. \r\n OK to delete this group?"});
    EXPECT_TRUE(form.isVisible());
    form.BTN_OK->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_TRUE(model.groups[2].members.empty());
    EXPECT_TRUE(model.groupDisplay[2].key.empty());
    EXPECT_TRUE(model.bindings[1].empty());
    EXPECT_TRUE(model.modified.groups);
}

// OK checks the name and asks about a duplicate, stores the group with its name trimmed and
// remembers the name as typed, newest first; a new group without members stores nothing.
TEST_F(EditFormGroupTest, AddChecksTheNameStoresTheGroupAndRemembersItsName) {
    prompt->Reset({PromptAnswer::No});
    form.SetRecentNames({"Night", "Day"});
    OpenAdd();
    EXPECT_EQ(form.CB_Group_Num->itemText(0), "01");
    EXPECT_EQ(form.CB_Group_Num->itemText(1), "03");  // 02 is in use
    EXPECT_EQ(form.CB_Group_Name->count(), 2);
    EXPECT_EQ(form.CB_Group_Name->itemText(0), "Night");
    AddRow(0);
    AddRow(0);
    for (const QString& name : {QString(), QString(17, 'G'), QString("Sales")}) {
        form.CB_Group_Name->setEditText(name);
        form.BTN_OK->click();
    }
    EXPECT_EQ(prompt->Shown(),
              (Lines{"Input Error: Not Enter Data.", "Input Error: Group name is too long.",
                     "Duplicate Group Name: Identical group name exists. Register anyway?"}));
    EXPECT_EQ(prompt->Last().defaultAnswer, PromptAnswer::No);
    EXPECT_TRUE(form.isVisible());
    form.CB_Group_Name->setEditText(" Day ");
    form.BTN_OK->click();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    const GroupDialEntry& group = model.groups[1];
    EXPECT_EQ(group.number, 1);
    EXPECT_EQ(group.name, "Day");  // stored trimmed
    EXPECT_EQ(group.recordText, "Name1,Name2");
    EXPECT_EQ(form.Buffer().key, "G01");
    EXPECT_EQ(form.Buffer().name, " Day ");  // the display row keeps it as typed
    EXPECT_EQ(model.groupDisplay[1].key, "G01");
    EXPECT_TRUE(model.modified.groups);
    EXPECT_TRUE(model.TestMembership(1, 1));
    EXPECT_TRUE(model.TestMembership(1, 2));  // still in its other group
    EXPECT_EQ(form.RecentNames(), (std::vector<std::string>{" Day ", "Night", "Day"}));

    // Registered anyway, a name used again moves to the front instead of repeating.
    prompt->Queue(PromptAnswer::Yes);
    OpenAdd();
    AddRow(0);
    form.CB_Group_Name->setEditText("Day");
    form.BTN_OK->click();
    EXPECT_EQ(prompt->Shown(3),
              Lines{"Duplicate Group Name: Identical group name exists. Register anyway?"});
    EXPECT_EQ(model.groups[3].name, "Day");
    EXPECT_EQ(form.RecentNames(), (std::vector<std::string>{"Day", " Day ", "Night"}));

    // A new group without members: OK offers to leave the add, and nothing is stored.
    prompt->Queue(PromptAnswer::Yes);
    OpenAdd();
    form.CB_Group_Name->setEditText("Empty");
    form.BTN_OK->click();
    EXPECT_EQ(prompt->Shown(4), Lines{"Confirm Exit: Registration data not found in group being "
                                      "edited. \r\n OK to disable Add function?"});
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(model.groups[4].number, 0);
}

TEST_F(EditFormGroupTest, CancelAsksOnlyAfterARealChangeAndRestoresTheGroup) {
    prompt->Reset({PromptAnswer::No, PromptAnswer::Yes});
    OpenEdit();
    EXPECT_TRUE(form.BTN_OK->isDefault());  // Enter is OK, Escape is Cancel
    QWidget* focus = form.focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &form, Qt::Key_Escape);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
    // S001 out and back in keeps the order S004, S001: nothing changed.
    OpenEdit();
    RemoveRow(1);
    AddRow(0);
    form.BTN_OK->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(model.modified.groups);
    EXPECT_TRUE(prompt->Requests().empty());

    OpenEdit();
    RemoveRow(0);
    AddRow(2);  // S009
    form.BTN_Cancel->click();
    EXPECT_TRUE(form.isVisible());
    form.close();  // the close box runs the same steps
    EXPECT_EQ(prompt->Shown(),
              Lines(2, "Confirm Update: OK to continue without saving user data?"));
    EXPECT_FALSE(form.isVisible());
    ASSERT_EQ(model.groups[2].members.size(), 2u);
    EXPECT_EQ(model.groups[2].members[0].number, 4);
    EXPECT_EQ(model.groups[2].members[1].number, 1);
    EXPECT_TRUE(model.TestMembership(4, 2));
    EXPECT_FALSE(model.TestMembership(9, 2));
    EXPECT_EQ(model.groups[2].recordText, "Name4,Name1");
    EXPECT_FALSE(model.modified.groups);

    // A half-built new group is gone after Cancel.
    prompt->Queue(PromptAnswer::Yes);
    OpenAdd();
    AddRow(0);
    form.BTN_Cancel->click();
    EXPECT_TRUE(model.groups[1].members.empty());
    EXPECT_FALSE(model.TestMembership(1, 1));
}

// Selected speed dials join in list order, only as many as the group still takes; the name stops
// at its limit; the grids leave room for their column titles however narrow the dialog is made.
TEST_F(EditFormGroupTest, SeveralSpeedDialsJoinAtOnceWithinTheMemberLimit) {
    for (int n = 10; n < 30; ++n) {
        model.speedDials[n] = SpeedDialEntry{"S0" + std::to_string(n), "N", "", "1"};
        if (n < 26) {
            model.groups[2].members.push_back({'S', n});
            model.SetMembership(n, 2);
        }
    }
    OpenEdit();  // 18 members; S002, S007, S009 and S026 to S029 available
    for (int row : {6, 2, 0}) {
        form.SFG_Speed->selectionModel()->select(
            form.SFG_Speed->model()->index(row, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    form.BTN_Speed_Add->click();
    const Lines members = Keys(form.SFG_Edit_Group);
    EXPECT_EQ(Lines(members.begin() + 18, members.end()), (Lines{"S002", "S009"}));
    EXPECT_EQ(model.groups[2].members.size(), 20u);
    EXPECT_EQ(Keys(form.SFG_Speed), (Lines{"S007", "S026", "S027", "S028", "S029"}));
    EXPECT_FALSE(form.BTN_Speed_Add->isEnabled());

    form.CB_Group_Name->lineEdit()->end(false);
    QTest::keyClicks(form.CB_Group_Name, "-and-all-the-rest");  // the combo box takes the keys
    EXPECT_EQ(form.CB_Group_Name->currentText(), "Sales-and-all-th");
    EXPECT_EQ(form.LBL_Group_Name_Used->text(), "16 / 16");
    form.CB_Group_Name->setEditText("Sales");
    QApplication::clipboard()->setText(" of the North Region");
    QTest::keySequence(form.CB_Group_Name, QKeySequence::Paste);
    EXPECT_EQ(form.CB_Group_Name->currentText(), "Sales of the Nor");

    form.resize(150, 560);
    form.layout()->activate();
    for (const QTableView* grid : {form.SFG_Edit_Group, form.SFG_Speed}) {
        const QHeaderView* header = grid->horizontalHeader();
        for (int column = 0; column < grid->model()->columnCount(); ++column) {
            EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column)) << column;
        }
    }
}

// A search narrows what both dialogs offer (how it matches is the main window's list search);
// what it hides is not added, and Escape clears the search before it cancels.
TEST_F(EditFormGroupTest, SearchNarrowsTheRowsOnOffer) {
    model.speedDials[9].name = "\uff33\uff41\uff4c\uff45\uff53 Desk";  // full-width "Sales"
    OpenEdit();  // S002, S007 and S009 available
    TOneTuchInpForm select;
    select.Open("One-touch 1", model);
    select.show();
    select.EDT_Inport_Search->setText("name4");
    EXPECT_EQ(Keys(select.SFG_Inport), (Lines{"S004", "G02"}));  // and the group it is in
    select.EDT_Inport_Search->setText("nothing");
    EXPECT_EQ(Keys(select.SFG_Inport), Lines());
    EXPECT_FALSE(select.BTN_OK->isEnabled());
    select.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&select)) << "the selection dialog never got active";
    select.SFG_Inport->setFocus();
    QTest::keyClick(select.SFG_Inport, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(select.EDT_Inport_Search->hasFocus()) << "Ctrl+F did not reach the search";
    QTest::keyClick(select.EDT_Inport_Search, Qt::Key_Escape);
    EXPECT_TRUE(select.isVisible());
    EXPECT_EQ(Keys(select.SFG_Inport).size(), 6u);  // five speed dials and the group

    form.EDT_Speed_Search->setText("sales");
    form.SFG_Speed->selectAll();
    form.BTN_Speed_Add->click();
    EXPECT_EQ(Keys(form.SFG_Edit_Group), (Lines{"S004", "S001", "S009"}));
    EXPECT_EQ(Keys(form.SFG_Speed), Lines());
    form.EDT_Speed_Search->clear();
    EXPECT_EQ(Keys(form.SFG_Speed), (Lines{"S002", "S007"}));
}

}  // namespace
}  // namespace dialvane
