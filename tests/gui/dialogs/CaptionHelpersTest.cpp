// The caption tables, the button rows and the file filter every window shares.
#include <gtest/gtest.h>

#include <QDialog>
#include <QGroupBox>
#include <QLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include "support/GuiTestSupport.h"
#include "ui/CaptionHelpers.h"

namespace dialvane {
namespace {

using CaptionHelpersTest = testing::GuiTest;

TEST_F(CaptionHelpersTest, CommaListSplitsTrimsAndKeepsEmptyPieces) {
    std::vector<std::string> pieces{"stale"};
    SetCommaList("No., Address, Telephone Number", pieces);
    EXPECT_EQ(pieces, (std::vector<std::string>{"No.", "Address", "Telephone Number"}));
    SetCommaList("A,,  B ", pieces);
    EXPECT_EQ(pieces, (std::vector<std::string>{"A", "", "B"}));
    SetCommaList("A, B,", pieces);
    EXPECT_EQ(pieces, (std::vector<std::string>{"A", "B"}));
    SetCommaList("", pieces);
    EXPECT_TRUE(pieces.empty());
}

TEST_F(CaptionHelpersTest, ApplyCaptionsUsesTheTableOfTheWindowName) {
    QDialog window;
    window.setObjectName("progform");  // the table is found whatever the case
    ApplyCaptions(&window);
    EXPECT_EQ(window.windowTitle(), "View Communication Status");

    QDialog other;
    other.setObjectName("SomethingElse");
    other.setWindowTitle("as designed");
    ApplyCaptions(&other);
    EXPECT_EQ(other.windowTitle(), "as designed");

    // A registered table fills grids' header rows and tabs from comma lists; a control the
    // window lacks is skipped.
    RegisterCaptionTable("TestForm", {{nullptr, Msg::EditFormCaption},
                                      {"Grid", Msg::GroupFormMemberColumns, CaptionKind::CommaList},
                                      {"Tabs", Msg::GroupFormSpeedColumns, CaptionKind::CommaList},
                                      {"Box", Msg::GroupFormSelected},
                                      {"Missing", Msg::EditFormOk}});
    QDialog test;
    test.setObjectName("TestForm");
    auto* grid = new QTableWidget(1, 1, &test);
    grid->setObjectName("Grid");
    auto* tabs = new QTabWidget(&test);
    tabs->setObjectName("Tabs");
    tabs->addTab(new QWidget, "1");
    tabs->addTab(new QWidget, "2");
    auto* box = new QGroupBox(&test);
    box->setObjectName("Box");
    ApplyCaptions(&test);
    EXPECT_EQ(test.windowTitle(), "Edit Address");
    ASSERT_EQ(grid->columnCount(), 3);
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), "Telephone Number");
    EXPECT_EQ(tabs->tabText(0), "No.");
    EXPECT_EQ(tabs->tabText(1), "Address");
    EXPECT_EQ(box->title(), "Selected Address");
}

// The panel at its final size with the layout applied, as the user sees it.
void Settle(QWidget& panel, int width) {
    panel.resize(width, 40);
    panel.show();
    panel.layout()->activate();
}

TEST_F(CaptionHelpersTest, ButtonRowsSizeAndAlignTheirButtons) {
    // The standard row: every button as wide as the widest caption, from the right edge.
    QWidget panel;
    auto* stop = new QPushButton("Stop", &panel);
    auto* ok = new QPushButton("OK", &panel);
    ArrangeButtons(&panel, kStandardRow);
    Settle(panel, 400);
    EXPECT_EQ(ok->width(), stop->width());
    EXPECT_GE(stop->width(), TextWidth("Stop"));
    EXPECT_LT(stop->x(), ok->x());
    EXPECT_EQ(ok->geometry().right() + 1, 400 - 10);
    panel.resize(600, 40);
    panel.layout()->activate();
    EXPECT_EQ(ok->geometry().right() + 1, 600 - 10);

    // The left-aligned row starts at the left edge.
    QWidget left;
    auto* first = new QPushButton("Stop", &left);
    ArrangeButtons(&left, kLeftAlignedRow);
    Settle(left, 400);
    EXPECT_EQ(first->x(), 10);

    // The individual row keeps each caption's width, with a minimum; hidden buttons stay out.
    QWidget individual;
    auto* small = new QPushButton("OK", &individual);
    auto* longer = new QPushButton("A considerably longer caption", &individual);
    auto* hidden = new QPushButton("Hidden", &individual);
    hidden->hide();
    ArrangeButtons(&individual, kIndividualRow);
    Settle(individual, 500);
    EXPECT_GE(small->width(), kMinButtonWidth);
    EXPECT_GT(longer->width(), small->width());
    EXPECT_GE(longer->width(), TextWidth("A considerably longer caption"));
    EXPECT_FALSE(hidden->isVisible());

    // Nothing visible: nothing arranged.
    QWidget onlyHidden;
    (new QPushButton("OK", &onlyHidden))->hide();
    EXPECT_EQ(ArrangeButtons(&onlyHidden, kStandardRow), -1);
    EXPECT_EQ(onlyHidden.layout(), nullptr);
}

TEST_F(CaptionHelpersTest, FileFilterBecomesQtsForm) {
    EXPECT_EQ(QtFileFilter("Text Documents(*.txt)|*.txt|All Files(*.*)|*.*"),
              "Text Documents (*.txt);;All Files (*.*)");
}

}  // namespace
}  // namespace dialvane
