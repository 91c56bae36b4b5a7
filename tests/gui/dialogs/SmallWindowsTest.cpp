// The error list, the version picture, saving the error list or the progress view, Enter and
// Escape in every dialog, and where the selection dialog goes on a small screen.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "support/GuiTestSupport.h"
#include "support/TempDir.h"
#include "support/TestProducts.h"
#include "ui/DiallingForm.h"
#include "ui/EditForm.h"
#include "ui/EditFormGroup.h"
#include "ui/ErrLogForm.h"
#include "ui/FormVer.h"
#include "ui/ImportPreviewForm.h"
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
    TProgForm progress(prompt, 4);
    progress.ShowStatus("first", 1);
    progress.ShowStatus("second", 1);
    struct Case {
        std::function<bool(const std::string&)> save;
        std::string written;
    };
    const Case cases[] = {
        {[&](const std::string& path) { return errors.SaveToFile(path); },
         "Line number:   3 Not Enter Data.\nLine number:   9 Group name\n"},
        {[&](const std::string& path) { return progress.SaveView(path); }, "second\nfirst\n"},
    };
    for (const Case& c : cases) {
        prompt.Reset();
        testing::TempDir dir;
        ASSERT_TRUE(c.save(dir.File("lines.txt")));
        EXPECT_EQ(dir.Read("lines.txt"), c.written);
        EXPECT_TRUE(prompt.Requests().empty());

        const std::string unwritable = dir.File("gone/lines.txt");
        EXPECT_FALSE(c.save(unwritable));
        ASSERT_EQ(prompt.Requests().size(), 1u);
        const PromptRequest box = prompt.Requests()[0];
        EXPECT_NE(box.text.find("Cannot write to file.Confirm whether or not the file is open."),
                  std::string::npos);
        EXPECT_NE(box.text.find(unwritable), std::string::npos);
        EXPECT_EQ(box.icon, PromptIcon::Stop);
    }
    errors.show();
    errors.MN_Exit->trigger();
    EXPECT_FALSE(errors.isVisible());
}

TEST_F(SmallWindowsTest, VersionPictureCarriesTheVersionTextAndClosesOnAClick) {
    QWidget mainWindow;
    mainWindow.resize(800, 600);
    TFormVer form(&mainWindow);
    form.Prepare();
    ASSERT_FALSE(form.IMG_Ver->pixmap().isNull());  // the built-in picture
    EXPECT_TRUE(form.VersionText().startsWith("Version "));
    form.show();
    QTest::mouseClick(form.IMG_Ver, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(SmallWindowsTest, OkIsTheDefaultButtonAndEscapeCancels) {
    testing::TempDir dir;
    DialModel model;
    model.speedDials[1] = SpeedDialEntry{"S001", "Office", "", "03-1111"};
    model.groupDisplay[2] = GroupDisplay{"G02", "Sales", "Office"};
    testing::ScriptedPrompt prompt;
    TEditForm edit(prompt);
    edit.Open(EditOperationKind::Edit, model.speedDials[1], model,
              *testing::MakeProduct(dir, "QUICK"), "Edit");
    TEditForm_Group group(prompt);
    group.Open(EditOperationKind::Edit, model.groupDisplay[2], model, "Edit");
    TOneTuchInpForm select;
    TErrLogForm errors(prompt);
    TDiallingForm dialling;
    TImportPreviewForm preview;
    TFormVer version;  // no OK: a click closes it
    const std::pair<QDialog*, QPushButton*> cases[] = {
        {&edit, edit.BTN_OK},     {&group, group.BTN_OK},       {&select, select.BTN_OK},
        {&errors, errors.BTN_OK}, {&dialling, dialling.BTN_OK}, {&preview, preview.BTN_OK},
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
        EXPECT_TRUE(available.contains(placed.marginsAdded(frame)));
    }
}

}  // namespace
}  // namespace dialvane
