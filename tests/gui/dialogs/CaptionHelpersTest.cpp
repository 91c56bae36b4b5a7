// The caption tables and the layout helpers every window shares.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <filesystem>

#include "support/GuiTestSupport.h"
#include "support/FileUtil.h"
#include "ui/CaptionHelpers.h"

namespace dialvane {
namespace {

using testing::EnsureApplication;
using testing::PromptScope;

class CaptionHelpersTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

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
    auto* stop = new QPushButton("x", &window);
    stop->setObjectName("BTN_Abort");
    auto* status = new QLabel("x", &window);
    status->setObjectName("LBL_Status");
    ApplyCaptions(&window);
    EXPECT_EQ(window.windowTitle(), "View Communication Status");
    EXPECT_EQ(stop->text(), "Stop");
    EXPECT_EQ(status->text(), "Status");

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

TEST_F(CaptionHelpersTest, MeasuresFollowTheMeasuringFont) {
    SetMeasuringFont(QApplication::font());
    QPushButton button("Stop");
    QComboBox combo;
    QLabel label("text");
    const QFontMetrics metrics(QApplication::font());
    EXPECT_EQ(MeasureWidth(&button), metrics.horizontalAdvance("Stop") + 10);
    EXPECT_EQ(MeasureHeight(&button), metrics.height() + 12);
    EXPECT_EQ(MeasureWidth(&combo), metrics.horizontalAdvance("888") + 30);
    EXPECT_EQ(MeasureHeight(&combo), combo.height());
    EXPECT_EQ(MeasureWidth(&label), 0);
    EXPECT_EQ(MeasureHeight(&label), 0);
}

// The panel at its final size with the layout applied, as the user sees it.
void Settle(QWidget& panel, int width) {
    panel.resize(width, 40);
    panel.show();
    panel.layout()->activate();
}

TEST_F(CaptionHelpersTest, StandardRowMakesEveryButtonAsWideAsTheWidestFromTheRight) {
    QWidget panel;
    auto* stop = new QPushButton("Stop", &panel);
    auto* ok = new QPushButton("OK", &panel);
    QWidget::setTabOrder(stop, ok);
    const int width = TextWidth("Stop") + 10;
    EXPECT_EQ(ArrangeButtons(&panel, kStandardRow), 10 + 2 * (width + 5));
    Settle(panel, 400);
    EXPECT_EQ(ok->width(), width);
    EXPECT_EQ(stop->width(), width);
    EXPECT_EQ(ok->geometry().right() + 1, 400 - 10);
    EXPECT_EQ(stop->geometry().right() + 1, ok->x() - 5);
    EXPECT_EQ(ok->height(), TextHeight("OK") + 12);
    EXPECT_GE(panel.minimumHeight(), ok->height() + 10);
    // The row stays at the right edge when the panel grows.
    panel.resize(600, 40);
    panel.layout()->activate();
    EXPECT_EQ(ok->geometry().right() + 1, 600 - 10);

    // The left-aligned row runs the other way from the left edge.
    QWidget left;
    auto* stop2 = new QPushButton("Stop", &left);
    auto* ok2 = new QPushButton("OK", &left);
    ArrangeButtons(&left, kLeftAlignedRow);
    Settle(left, 400);
    EXPECT_EQ(stop2->x(), 10);
    EXPECT_EQ(ok2->x(), 10 + width + 5);
}

TEST_F(CaptionHelpersTest, IndividualRowKeepsCaptionWidthsWithAMinimum) {
    QWidget panel;
    auto* ok = new QPushButton("OK", &panel);
    auto* longer = new QPushButton("A considerably longer caption", &panel);
    auto* hidden = new QPushButton("Hidden", &panel);
    hidden->hide();
    ArrangeButtons(&panel, kIndividualRow);
    Settle(panel, 500);
    EXPECT_EQ(ok->width(), std::max(kMinButtonWidth, TextWidth("OK") + 10));
    EXPECT_EQ(longer->width(), TextWidth("A considerably longer caption") + 10);
    EXPECT_FALSE(hidden->isVisible());

    QWidget onlyHidden;
    auto* alone = new QPushButton("OK", &onlyHidden);
    alone->hide();
    const QSize before = alone->size();
    EXPECT_EQ(ArrangeButtons(&onlyHidden, kStandardRow), -1);
    EXPECT_EQ(alone->size(), before);
    EXPECT_EQ(onlyHidden.layout(), nullptr);
}

TEST_F(CaptionHelpersTest, ComboHistoryKeepsMostRecentFirstWithoutDuplicates) {
    QComboBox combo;
    combo.setEditable(true);
    std::vector<std::string> list{"e1", "e2", "e3", "e4"};
    ComboHistory(&combo, list, 5, 0);
    ASSERT_EQ(combo.count(), 4);

    combo.setEditText("e4");  // position 3 moves to the front, the count stays
    ComboHistory(&combo, list, 5, 1);
    EXPECT_EQ(list, (std::vector<std::string>{"e4", "e1", "e2", "e3"}));
    EXPECT_EQ(combo.currentIndex(), 0);

    combo.setEditText("n1");
    ComboHistory(&combo, list, 5, 1);
    combo.setEditText("n2");  // the history is full: the oldest entry goes
    ComboHistory(&combo, list, 5, 1);
    EXPECT_EQ(list, (std::vector<std::string>{"n2", "n1", "e4", "e1", "e2"}));

    combo.setEditText("");  // an empty commit changes nothing
    ComboHistory(&combo, list, 5, 1);
    EXPECT_EQ(list.size(), 5u);

    combo.removeItem(0);  // storing copies what the box holds
    ComboHistory(&combo, list, 5, 2);
    EXPECT_EQ(list.front(), "n1");
}

TEST_F(CaptionHelpersTest, ShadowLabelReplacesCopiesOfAnEarlierCall) {
    QWidget parent;
    auto* label = new QLabel("Version 1.0", &parent);
    label->setObjectName("LBL_Version");
    label->setGeometry(20, 30, 100, 20);
    const QColor base(0xA0, 0xA0, 0xA4);
    ShadowLabel(label, 5, base);
    ShadowLabel(label, 5, base);
    QCoreApplication::processEvents();
    int copies = 0;
    for (QLabel* child : parent.findChildren<QLabel*>()) {
        copies += child != label && child->parent() == &parent;
    }
    EXPECT_EQ(copies, 5);
    auto* first = parent.findChild<QLabel*>("LBL_Version0");
    auto* last = parent.findChild<QLabel*>("LBL_Version4");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(first->pos(), QPoint(21, 31));
    EXPECT_EQ(first->palette().color(QPalette::WindowText),
              QColor(0xA0 + 60, 0xA0 + 60, 0xA4 + 60));
    EXPECT_EQ(last->pos(), label->pos());
    EXPECT_EQ(last->palette().color(QPalette::WindowText),
              label->palette().color(QPalette::WindowText));
    EXPECT_EQ(last->text(), "Version 1.0");
}

TEST_F(CaptionHelpersTest, SmallTextHelpers) {
    EXPECT_EQ(QtFileFilter("Text Documents(*.txt)|*.txt|All Files(*.*)|*.*"),
              "Text Documents (*.txt);;All Files (*.*)");
    EXPECT_EQ(TextBefore("S005 [Name] 123", " ["), "S005");
    EXPECT_EQ(TextBefore("no delimiter", "|"), "no delimiter");

    QTableWidget grid(1, 3);
    EXPECT_EQ(GridDataRows(&grid), 0);  // the one empty row of an empty list
    grid.setItem(0, 0, new QTableWidgetItem("S001"));
    EXPECT_EQ(GridDataRows(&grid), 1);
    grid.setRowCount(4);
    EXPECT_EQ(GridDataRows(&grid), 4);
}

TEST_F(CaptionHelpersTest, PlaceLabelAndControlCentresAndStretches) {
    QFrame panel;
    panel.setFrameShape(QFrame::NoFrame);
    panel.resize(300, 60);
    auto* caption = new QLabel("Name", &panel);
    caption->resize(40, 16);
    auto* input = new QLineEdit(&panel);
    input->setGeometry(0, 0, 50, 24);
    const int right =
        PlaceLabelAndControl(&panel, QRect(0, 10, 300, 40), caption, 4 | 16 | 32 | 64, input);
    EXPECT_EQ(input->geometry(), QRect(60, 10 + 8, 300 - 70, 24));
    EXPECT_EQ(caption->pos(), QPoint(10, 10 + 8 + 4));
    EXPECT_EQ(right, 300);
    QWidget notAPanel;
    EXPECT_EQ(PlaceLabelAndControl(&notAPanel, QRect(0, 0, 10, 10), caption, 0, input), 0);
}

TEST_F(CaptionHelpersTest, AnUnwritableFileIsReportedWithItsName) {
    PromptScope prompt;
    const std::string folder = ::testing::TempDir() + "/caption_save";
    std::filesystem::create_directories(folder);
    const std::string good = folder + "/view.txt";
    ASSERT_TRUE(SaveLinesOrTell(good, {"newest", "older"}));
    EXPECT_EQ(ReadFileBytes(good).value_or(""), "newest\nolder\n");
    EXPECT_TRUE(prompt->Requests().empty());

    const std::string bad = folder + "/no/such/folder/view.txt";
    EXPECT_FALSE(SaveLinesOrTell(bad, {"line"}));
    ASSERT_EQ(prompt->Requests().size(), 1u);
    const PromptRequest box = prompt->Requests().front();
    EXPECT_NE(box.text.find("Cannot write to file.Confirm whether or not the file is open."),
              std::string::npos);
    EXPECT_NE(box.text.find(bad), std::string::npos);
    EXPECT_EQ(box.icon, PromptIcon::Stop);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace dialvane
