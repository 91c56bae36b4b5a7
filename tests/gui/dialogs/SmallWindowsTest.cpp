// The error list, the version picture, and saving the error list or the progress view.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <functional>

#include "support/GuiTestSupport.h"
#include "support/TempDir.h"
#include "ui/ErrLogForm.h"
#include "ui/FormVer.h"
#include "ui/ProgForm.h"

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

}  // namespace
}  // namespace dialvane
