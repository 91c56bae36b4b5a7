// Pictures of the progress dialog in both forms while a transfer runs against the emulated MFP,
// and of the one-touch page, the selection dialog, the Edit menu with an undo step, the print
// preview and the setup panel after a network test in English and Japanese, to PNG files in
// $DIALVANE_SCREENSHOTS.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QTabBar>

#include "support/LanguageFile.h"
#include "support/MainWindowFixture.h"

namespace dialvane {
namespace {

using TransferScreenshots = testing::WindowTransfer;

// $DIALVANE_SCREENSHOTS or a folder below it; made when missing.
std::string PictureFolder(const std::string& below = "") {
    const std::string folder =
        qEnvironmentVariable("DIALVANE_SCREENSHOTS").toStdString() + "/" + below;
    QDir().mkpath(QString::fromStdString(folder));
    return folder;
}

// DISP 0 shows the compact form during a read, DISP 4 the detailed form during a send.
TEST_P(TransferScreenshots, ProgressDialogMidTransfer) {
    const bool compact = GetParam() == 0;
    EmulatorFaults slow;
    slow.answerDelayMs = 25;  // records still moving when the dialog reports progress
    StartDevice(193, slow);
    MakeWindow();
    const QString path =
        QString::fromStdString(PictureFolder() + (compact ? "ProgForm_compact_running.png"
                                                          : "ProgForm_detailed_running.png"));
    bool grabbed = false;
    // Mid-transfer: the fax is occupied, records are moving and the view has lines.
    WhileRunning(
        [&] {
            return device->Counters().frameReads > 1 &&
                   (compact || form->ProgForm()->ViewLines().size() > 3);
        },
        [&](TProgForm& dialog) { grabbed = dialog.grab().save(path); });
    if (compact) {
        ReadFromDevice();
    } else {
        Select(2);
        AddSpeedDial(1, "Head Office", "0355501000");
        form->Model().senderName = "Front desk";
        Send();
    }
    EXPECT_TRUE(grabbed) << path.toStdString();
    form->Model().modified.Clear();
}

INSTANTIATE_TEST_SUITE_P(BothForms, TransferScreenshots, ::testing::Values(0, 4));

class PageScreenshots : public testing::MainWindowTest,
                        public ::testing::WithParamInterface<const char*> {
  protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        ApplyLanguageText("");  // English again for the tests that follow
    }

    void Save(QWidget* widget, const std::string& name) {
        QCoreApplication::processEvents();
        Save(widget->grab(), name);
    }
    void Save(const QPixmap& picture, const std::string& name) {
        const std::string below = std::string(GetParam()) == "JPN" ? "jpn/" : "";
        const QString path = QString::fromStdString(PictureFolder(below) + name + ".png");
        EXPECT_TRUE(picture.save(path)) << path.toStdString();
    }

    // The window with one of its menus open below the menu bar: the menu is a window of its
    // own, so it is painted onto the window's picture where it stands.
    void SaveWithMenu(QMenu* menu, const std::string& name) {
        QMenuBar* bar = form->menuBar();
        menu->popup(bar->mapToGlobal(bar->actionGeometry(menu->menuAction()).bottomLeft()));
        QCoreApplication::processEvents();
        QPixmap picture = form->grab();
        QPainter painter(&picture);
        painter.drawPixmap(form->mapFromGlobal(menu->pos()), menu->grab());
        painter.end();
        menu->hide();
        Save(picture, name);
    }
};

TEST_P(PageScreenshots, OneTouchPageSelectionDialogAndTestedSetupPanel) {
    const bool japanese = std::string(GetParam()) == "JPN";
    if (japanese) {
        ASSERT_TRUE(LoadLanguageFile(DIALVANE_SOURCE_DIR "/config/dialvane.JPN").loaded);
        environment->japaneseUi = environment->japaneseLocale = true;
        environment->settings.lang = "JPN";
    }
    const std::string address = StartEmulator(japanese ? 216 : 215);
    ASSERT_TRUE(device);
    environment->offlineMode = true;  // the pictures need no start-up inquiry
    Make("DX-R7700");
    form->show();
    Select(4);
    form->AddFileHistory(testing::kSampleList);
    form->BTN_File_Sel_Run->click();
    ASSERT_TRUE(form->EditorShown());
    form->Speed_Grid_Set(2);
    Click(form->BTN_Speed_Del, {PromptAnswer::Yes});
    SaveWithMenu(form->findChild<QMenu*>("MN_MenuEditing"), "main-edit-menu-undo");
    form->MN_Undo->trigger();
    QTimer::singleShot(0, form.get(), [this] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr) << "no print preview opened";
        preview->resize(900, 700);
        Save(preview, "print-preview");
        preview->reject();
    });
    form->MN_PrintPreview->trigger();

    form->LoadProduct("DX-M100");  // three of the sample's quick dials as one-touch buttons
    form->TabCtrl->setCurrentIndex(2);
    Save(form.get(), "main-one-touch");
    QTimer::singleShot(0, form.get(), [this] {
        Save(form->SelectForm(), "select-dialog");
        form->SelectForm()->BTN_Cancel->click();
    });
    form->BTN_One[0]->click();

    form->LoadProduct("DX-R7700");
    form->Model().modified.Clear();
    Select(5);
    ASSERT_EQ(form->MainMode(), MainModeKind::Setup);
    form->CB_IP_Addr->setEditText(QString::fromStdString(address));
    form->BTN_Test->click();
    ASSERT_TRUE(testing::ProcessUntil([&] { return !form->InquiryRunning(); }));
    Save(form.get(), "main-setup-tested");
    form->hide();
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, PageScreenshots, ::testing::Values("ENU", "JPN"));

}  // namespace
}  // namespace dialvane
