#include <gtest/gtest.h>

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTest>
#include <filesystem>

#include "support/MainWindowFixture.h"

namespace dialvane {
namespace {

using testing::Column;
using testing::Lines;

// The editor's lists over the sample list: what they show, what is selected, and which record
// the commands reach.
class ListViewTest : public testing::MainWindowTest {
  protected:
    // The sample list in the editor of a window on screen and active, so shortcuts reach it.
    void OpenSample() {
        hooks.editSpeedDial = [this](EditOperationKind operation, SpeedDialEntry& buffer) {
            edited.push_back(buffer.key);
            if (operation != EditOperationKind::Add) {
                return false;
            }
            buffer = nextEntry;
            return true;
        };
        Make();
        environment->offlineMode = true;  // a shown window asks no MFP
        form->show();
        form->activateWindow();
        ASSERT_TRUE(testing::ProcessUntil([this] { return form->isActiveWindow(); }))
            << "the window never became active";
        const std::string file = dir.File("list.csv");
        std::filesystem::copy_file(testing::kSampleList, file);
        OpenFile(file);
        ASSERT_TRUE(form->EditorShown()) << ::testing::PrintToString(prompt->Shown());
    }

    // The key of the selected row; empty when no row is selected.
    static std::string Selected(const QTableView* grid) {
        const QModelIndexList rows = grid->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.front().data().toString().toStdString() : std::string();
    }
    void Press(QTableView* grid, Qt::Key key, std::initializer_list<PromptAnswer> answers = {}) {
        Queue(answers);
        QTest::keyClick(grid, key);
    }

    Lines edited;  // the key the entry dialog opened on, each time
};

TEST_F(ListViewTest, SearchMatchesAnyFieldInEitherWidthKeepsTheSelectionAndEscapeClearsIt) {
    OpenSample();
    form->TabCtrl->setCurrentIndex(1);  // the group list is filled when first shown
    form->TabCtrl->setCurrentIndex(0);
    QTest::keyClick(form->SFG_Speed, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(form->EDT_Speed_Search->hasFocus());
    QTest::keyClick(form->EDT_Speed_Search, Qt::Key_Down);
    EXPECT_TRUE(form->SFG_Speed->hasFocus());
    form->Speed_Grid_Set(120);
    struct Case {
        const char* typed;
        Lines speedDials, groups;
    };
    const Case cases[] = {
        {"sales", {"S002"}, {"G01"}},  // a keyword and a group name
        {"SUPPLIER", {"S061", "S120"}, {"G05"}},
        {"ｓｕｐｐｌｉｅｒ　ｂ", {"S120"}, {"G05"}},   // full width, ideographic space
        {"03-5550-10", {"S001", "S005", "S010"}, {}},  // the fax number
        {"s2", {"S200"}, {}},                          // the number
        {"osaka", {"S002"}, {"G01"}},                  // a name, and the group it is in
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        form->EDT_Speed_Search->setText(QString::fromUtf8(c.typed));
        form->EDT_Group_Search->setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(Column(form->SFG_Speed->model()), c.speedDials);
        EXPECT_EQ(Column(form->SFG_Group->model()), c.groups);
        EXPECT_EQ(form->BTN_Speed_Edit->isEnabled(), !c.speedDials.empty());
        EXPECT_EQ(form->BTN_Group_Del->isEnabled(), !c.groups.empty());
        EXPECT_TRUE(form->BTN_Speed_Add->isEnabled());
        EXPECT_EQ(Selected(form->SFG_Speed).empty(), c.speedDials.empty());
    }
    // A record that stays in view stays selected, through the search and after it.
    form->EDT_Speed_Search->setText("supplier");
    form->Speed_Grid_Set(120);
    form->EDT_Speed_Search->setText("b");
    EXPECT_EQ(Selected(form->SFG_Speed), "S120");

    // A model without search keywords shows their column as a band, its title too.
    const QAbstractItemModel& list = *form->SFG_Speed->model();
    EXPECT_FALSE(list.index(0, 2).data(Qt::BackgroundRole).isValid());
    form->LoadProduct("DX-M100");
    form->Speed_Grid_Set(-1);
    EXPECT_TRUE(list.index(0, 2).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(list.headerData(2, Qt::Horizontal, Qt::ForegroundRole),
              list.index(0, 2).data(Qt::BackgroundRole));

    QTest::keyClick(form->EDT_Speed_Search, Qt::Key_Escape);
    EXPECT_TRUE(form->EDT_Speed_Search->text().isEmpty());
    EXPECT_EQ(Column(form->SFG_Speed->model()).size(), 11u);
    EXPECT_EQ(Selected(form->SFG_Speed), "S120");
    EXPECT_EQ(form->MainMode(), MainModeKind::Edit);
    // In an empty field Escape is the window's Cancel again.
    QTest::keyClick(form->EDT_Speed_Search, Qt::Key_Escape);
    EXPECT_EQ(form->MainMode(), MainModeKind::Standby);
}

TEST_F(ListViewTest, HeaderClickSortsNamesAndTheKeysActOnTheSelectedRecord) {
    OpenSample();
    QHeaderView* header = form->SFG_Speed->horizontalHeader();
    const auto clickTitle = [header](int column) {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, 5));
    };
    clickTitle(1);
    const Lines byName = {"Accounts Payable", "After Hours Desk", "Head Office",    "Legal Dept",
                          "Osaka Branch",     "Print Shop",       "Smith, John",    "Supplier A",
                          "Supplier B",       "Tanaka Law",       "Warehouse North"};
    EXPECT_EQ(Column(form->SFG_Speed->model(), 1), byName);
    clickTitle(1);
    EXPECT_EQ(Column(form->SFG_Speed->model(), 1), Lines(byName.rbegin(), byName.rend()));
    clickTitle(0);  // by number: S025 before S061, S120 before S200
    EXPECT_EQ(Column(form->SFG_Speed->model()),
              (Lines{"S001", "S002", "S003", "S004", "S005", "S010", "S011", "S025", "S061", "S120",
                     "S200"}));
    EXPECT_EQ(form->Model().speedDials[3].name, "Smith, John");  // the model keeps its order
    clickTitle(1);

    // Enter, a double click and Delete reach the record of the selected row, not its number.
    form->SFG_Speed->selectRow(6);
    Press(form->SFG_Speed, Qt::Key_Return);
    emit form->SFG_Speed->doubleClicked(form->SFG_Speed->model()->index(9, 1));
    EXPECT_EQ(edited, (Lines{"S003", "S011"}));
    form->SFG_Speed->selectRow(6);
    Press(form->SFG_Speed, Qt::Key_Delete, {PromptAnswer::No});
    EXPECT_FALSE(form->Model().speedDials[3].key.empty());
    Press(form->SFG_Speed, Qt::Key_Delete, {PromptAnswer::Yes});
    EXPECT_TRUE(form->Model().speedDials[3].key.empty());
    EXPECT_EQ(Selected(form->SFG_Speed), "S061");  // the one below took its place
    EXPECT_EQ(prompt->Requests().back().title, "Confirm Deletion");

    // Insert adds; the new record is selected wherever the sort puts it.
    nextEntry = SpeedDialEntry{"S150", "Zeta Trading", "", "0312"};
    Press(form->SFG_Speed, Qt::Key_Insert);
    EXPECT_EQ(Selected(form->SFG_Speed), "S150");
    EXPECT_EQ(Column(form->SFG_Speed->model(), 1).back(), "Zeta Trading");
    Press(form->SFG_Speed, Qt::Key_Delete, {PromptAnswer::Yes});
    EXPECT_EQ(Selected(form->SFG_Speed), "S004");  // the last row gone: the one above
    EXPECT_EQ(edited.size(), 3u);
}

TEST_F(ListViewTest, EmptyListsSelectNothingAndAnAddedGroupIsSelected) {
    int nextGroup = 4;
    hooks.editGroup = [&](EditOperationKind, GroupDisplay& buffer, DialModel& model) {
        PutGroup(model, nextGroup, "Group", {7});
        buffer.key = "G0" + std::to_string(nextGroup);
        return true;
    };
    NewList();
    for (QTableView* grid : {form->SFG_Speed, form->SFG_Group}) {
        form->TabCtrl->setCurrentIndex(grid == form->SFG_Speed ? 0 : 1);
        EXPECT_EQ(grid->model()->rowCount(), 0);
        EXPECT_FALSE(grid->selectionModel()->hasSelection());
        const size_t asked = prompt->Requests().size();
        Press(grid, Qt::Key_Return);
        Press(grid, Qt::Key_Delete);
        EXPECT_EQ(prompt->Requests().size(), asked);
    }
    AddSpeedDial(7, "Name", "1");  // the groups' member
    for (int group : {4, 2}) {
        nextGroup = group;
        form->BTN_Group_Add->click();
        EXPECT_EQ(Selected(form->SFG_Group), "G0" + std::to_string(group));
    }
    for (const char* next : {"G04", ""}) {
        Click(form->BTN_Group_Del, {PromptAnswer::Yes});
        EXPECT_EQ(Selected(form->SFG_Group), next);
    }
    EXPECT_FALSE(form->BTN_Group_Edit->isEnabled());
    EXPECT_FALSE(form->BTN_Group_Del->isEnabled());
    EXPECT_TRUE(form->BTN_Group_Add->isEnabled());
}

}  // namespace
}  // namespace dialvane
