// The error list, the version picture and the start-up notice.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <filesystem>

#include "support/GuiTestSupport.h"
#include "support/FileUtil.h"
#include "ui/ErrLogForm.h"
#include "ui/FormVer.h"
#include "ui/StartupMessageForm.h"

namespace dialvane {
namespace {

using testing::EnsureApplication;
using testing::ProcessUntil;
using testing::PromptScope;

class SmallWindowsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_F(SmallWindowsTest, ErrorListShowsSavesAndKeepsThreeLinesVisible) {
    PromptScope prompt;
    TErrLogForm form;
    EXPECT_EQ(form.windowTitle(), "Details of User Data Error");
    EXPECT_EQ(form.BTN_OK->text(), "OK");
    EXPECT_EQ(form.MN_SaveAs->text(), "Save As(&A)");
    EXPECT_EQ(form.MN_File->text(), "File(&F)");

    form.SetErrors({"Line number:   3 Not Enter Data.", "Line number:   9 Group name"});
    EXPECT_EQ(form.Lines().size(), 2u);
    const std::string folder = ::testing::TempDir() + "/errlog_save";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(form.SaveToFile(folder + "/errors.txt"));
    EXPECT_EQ(ReadFileBytes(folder + "/errors.txt").value_or(""),
              "Line number:   3 Not Enter Data.\nLine number:   9 Group name\n");
    EXPECT_FALSE(form.SaveToFile(folder + "/gone/errors.txt"));
    ASSERT_EQ(prompt->Requests().size(), 1u);
    EXPECT_NE(prompt->Requests()[0].text.find(folder + "/gone/errors.txt"), std::string::npos);
    std::filesystem::remove_all(folder);

    form.show();
    form.resize(10, 10);
    EXPECT_GE(form.width(), 220);
    const int lineHeight = QFontMetrics(form.RE_ErrLog->font()).height();
    EXPECT_GE(form.RE_ErrLog->viewport()->height(), 3 * lineHeight);

    form.MN_Exit->trigger();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(SmallWindowsTest, VersionPictureCarriesOneShadowedVersionText) {
    QWidget mainWindow;
    mainWindow.resize(800, 600);
    TFormVer form(&mainWindow);
    form.Prepare();
    EXPECT_EQ(form.windowTitle(), "Version information");
    ASSERT_FALSE(form.IMG_Ver->pixmap().isNull());  // the built-in picture
    EXPECT_EQ(form.size(), form.IMG_Ver->pixmap().size());
    EXPECT_TRUE(form.VersionText().startsWith("Version "));
    EXPECT_EQ(form.LBL_Version->text(), form.VersionText());
    const QRect first = form.LBL_Version->geometry();
    EXPECT_EQ(first.right() + 1, form.width() - 30);
    EXPECT_EQ(first.bottom() + 1, form.height() - 70);

    form.show();  // a second activation
    ProcessUntil([&] { return form.isVisible(); });
    QCoreApplication::processEvents();
    EXPECT_EQ(form.LBL_Version->geometry(), first);
    int shadows = 0;
    for (QLabel* label : form.findChildren<QLabel*>()) {
        shadows += label->objectName().startsWith("LBL_Version") && label != form.LBL_Version;
    }
    EXPECT_EQ(shadows, 5);

    QTest::mouseClick(form.IMG_Ver, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(SmallWindowsTest, NoticeStaysForItsMinimumTime) {
    QWidget mainWindow;
    mainWindow.resize(800, 600);
    TStartupMessageForm notice(&mainWindow);
    notice.ShowNotice("Connecting...", 60000);
    const QFontMetrics metrics(notice.LBL_Measure->font());
    EXPECT_EQ(notice.height(), 4 * metrics.height());
    EXPECT_EQ(notice.width(), std::max(180, 3 * metrics.horizontalAdvance("Connecting...") / 2));
    // Asked to close early: it stays until the minimum time is over.
    notice.RequestClose();
    EXPECT_TRUE(notice.isVisible());
    EXPECT_TRUE(notice.CloseRequested());

    notice.ShowNotice("x", 30);  // a new notice starts over; a short text is still 180 wide
    EXPECT_FALSE(notice.CloseRequested());
    EXPECT_EQ(notice.width(), 180);
    notice.RequestClose();
    EXPECT_TRUE(ProcessUntil([&] { return !notice.isVisible(); }));

    // Asked after the minimum time: it closes at once.
    notice.ShowNotice("Connecting...", 1);
    EXPECT_TRUE(ProcessUntil([&] { return !notice.TimerRunning(); }));
    EXPECT_TRUE(notice.isVisible());
    notice.RequestClose();
    EXPECT_FALSE(notice.isVisible());
}

}  // namespace
}  // namespace dialvane
