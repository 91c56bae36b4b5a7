// The progress view's lines, saving the error list or the progress view, Enter and Escape in
// every dialog, the version picture, and where the selection dialog goes on a small screen.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "support/GuiTestSupport.h"
#include "support/TempDir.h"
#include "ui/DiallingForm.h"
#include "ui/ErrLogForm.h"
#include "ui/FormVer.h"
#include "ui/ImportPreviewForm.h"
#include "ui/MessageBoxes.h"
#include "ui/OneTuchInpForm.h"
#include "ui/ProgForm.h"
#include "ui/ScreenFit.h"

namespace dialvane {
namespace {

using SmallWindowsTest = testing::GuiTest;

TEST_F(SmallWindowsTest, SavingTheErrorListOrTheProgressViewWritesItsLinesOrNamesTheFile) {
    testing::ScriptedPrompt prompt;
    TErrLogForm errors(prompt);
    errors.SetErrors({"Line number:   3 Not Enter Data.", "Line number:   9 Group name"});
    TProgForm progress(prompt, 2);
    for (int level = 0; level <= 4; ++level) {
        progress.ShowStatus("line " + std::to_string(level), level);
    }
    struct Case {
        std::function<bool(const std::string&)> save;
        std::string written;
    };
    const Case cases[] = {
        {[&](const std::string& path) { return errors.SaveToFile(path); },
         "Line number:   3 Not Enter Data.\nLine number:   9 Group name\n"},
        // The detailed view holds the lines up to DISP, newest first.
        {[&](const std::string& path) { return progress.SaveView(path); },
         "line 2\nline 1\nline 0\n"},
    };
    EXPECT_EQ(QtFileFilter(Text(Msg::TextSaveFilter)), "Text Documents (*.txt);;All Files (*.*)");
    for (const Case& c : cases) {
        prompt.Reset();
        testing::TempDir dir;
        ASSERT_TRUE(c.save(dir.File("lines.txt")));
        EXPECT_EQ(dir.Read("lines.txt"), c.written);
        EXPECT_TRUE(prompt.Requests().empty());

        const std::string unwritable = dir.File("gone/lines.txt");
        EXPECT_FALSE(c.save(unwritable));
        EXPECT_EQ(prompt.Shown(),
                  std::vector<std::string>{"File Error: Cannot write to file.Confirm "
                                           "whether or not the file is open.\n" +
                                           unwritable});
        EXPECT_EQ(prompt.Last().icon, PromptIcon::Stop);
    }
}

// The compact form shows only level-0 lines, with the printing notice under them.
TEST_F(SmallWindowsTest, CompactProgressShowsOnlyLevelZeroAndTheNotice) {
    DefaultAnswerPrompt prompt;
    TProgForm compact(prompt, 0);
    compact.ShowStatus("Connection start.", 0);
    compact.ShowStatus("a detail", 2);
    EXPECT_EQ(compact.LBL_TRANS_STAT->text(),
              "Connection start.\n\nDo not print during communication.");
}

// The entry dialogs prove their own keys with their cancel questions.
TEST_F(SmallWindowsTest, OkIsTheDefaultButtonAndEscapeCancels) {
    testing::ScriptedPrompt prompt;
    TOneTuchInpForm select;
    TErrLogForm errors(prompt);
    TDiallingForm dialling;
    TImportPreviewForm preview;
    TFormVer version;  // no OK: a click closes it
    const std::pair<QDialog*, QPushButton*> cases[] = {{&select, select.BTN_OK},
                                                       {&errors, errors.BTN_OK},
                                                       {&dialling, dialling.BTN_OK},
                                                       {&preview, preview.BTN_OK},
                                                       {&version, nullptr}};
    for (const auto& [dialog, ok] : cases) {
        EXPECT_TRUE(ok == nullptr || ok->isDefault()) << dialog->metaObject()->className();
        dialog->show();
        QWidget* focus = dialog->focusWidget();
        QTest::keyClick(focus != nullptr ? focus : dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible()) << dialog->metaObject()->className();
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
    }
    EXPECT_TRUE(prompt.Requests().empty());  // nothing changed, nothing asked

    // The version picture carries the version text, and a click on it closes it too.
    version.Prepare();
    ASSERT_FALSE(version.IMG_Ver->pixmap().isNull());  // the built-in picture
    EXPECT_TRUE(version.LBL_Version->text().startsWith("Version "));
    version.show();
    QTest::mouseClick(version.IMG_Ver, Qt::LeftButton);
    EXPECT_FALSE(version.isVisible());
}

// On a 1366 x 768 screen with a 40-pixel panel below, the window with its frame always ends
// within the free area.
TEST_F(SmallWindowsTest, TheSelectionDialogFitsTheFreeAreaOfTheScreen) {
    const QRect available(0, 0, 1366, 728);
    const QMargins frame(4, 30, 4, 4);
    const QSize minimum(200, 150);
    const std::pair<QRect, QRect> cases[] = {
        {{8, 30, 400, 738}, {8, 30, 400, 694}},         // as high as the screen: shortened
        {{100, 100, 400, 300}, {100, 100, 400, 300}},   // fits: as wished
        {{1200, 600, 400, 300}, {962, 424, 400, 300}},  // off the corner: moved in
        {{8, 30, 100, 100}, {8, 30, 200, 150}},         // grown to its minimum
    };
    for (const auto& [wanted, expected] : cases) {
        const QRect placed = FitClientRect(wanted, minimum, frame, available);
        EXPECT_EQ(placed, expected);
    }
}

}  // namespace
}  // namespace dialvane
