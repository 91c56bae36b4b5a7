// The caption tables, the file filter and the text measuring every window shares.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QMainWindow>
#include <QPushButton>

#include "support/GuiTestSupport.h"
#include "ui/CaptionHelpers.h"
#include "ui/TextPlacement.h"

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

TEST_F(CaptionHelpersTest, FileFilterBecomesQtsForm) {
    EXPECT_EQ(QtFileFilter("Text Documents(*.txt)|*.txt|All Files(*.*)|*.*"),
              "Text Documents (*.txt);;All Files (*.*)");
}

TEST_F(CaptionHelpersTest, TextsAreMeasuredWithTheFontOfTheMainWindowTheyBelongTo) {
    QMainWindow window;
    QFont large("Arial");
    large.setPixelSize(40);
    window.setFont(large);
    QDialog dialog(&window);
    auto* inDialog = new QPushButton("Measure me", &dialog);
    QPushButton alone("Measure me");
    const int largeWidth = QFontMetrics(large).horizontalAdvance("Measure me") + 10;
    const int plainWidth = QFontMetrics(QApplication::font()).horizontalAdvance("Measure me") + 10;
    ASSERT_NE(largeWidth, plainWidth);
    EXPECT_EQ(MeasureWidth(inDialog), largeWidth);
    EXPECT_EQ(MeasureHeight(inDialog), QFontMetrics(large).height() + 12);
    // Outside a main window: the application font, whatever window was built before.
    EXPECT_EQ(MeasureWidth(&alone), plainWidth);
}

}  // namespace
}  // namespace dialvane
