// Renders every dialog and both forms of the progress dialog to PNG files in
// $DIALVANE_SCREENSHOTS, offscreen.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "support/GuiTestSupport.h"
#include "support/Messages.h"
#include "support/Prompt.h"
#include "support/TestProducts.h"
#include "ui/EditForm.h"
#include "ui/EditFormGroup.h"
#include "ui/ErrLogForm.h"
#include "ui/FormVer.h"
#include "ui/ImportPreviewForm.h"
#include "ui/ImportSourceForm.h"
#include "ui/ProgForm.h"
#include "ui/StartupMessageForm.h"

namespace dialvane {
namespace {

class Screenshots : public testing::GuiTest {
  protected:
    void Shoot(QWidget& window, const std::string& name) {
        window.show();
        QCoreApplication::processEvents();
        const QString path = qEnvironmentVariable("DIALVANE_SCREENSHOTS") + "/" +
                             QString::fromStdString(name) + ".png";
        EXPECT_TRUE(window.grab().save(path)) << path.toStdString();
        window.hide();
    }

    testing::TempDir dir;
};

TEST_F(Screenshots, EveryDialogRenders) {
    QWidget mainWindow;
    mainWindow.resize(900, 640);
    const std::unique_ptr<TProductInfo> product = testing::MakeProduct(dir, "QUICK");
    DialModel model;
    for (int n = 1; n <= 6; ++n) {
        const std::string digit = std::to_string(n);
        model.speedDials[n] =
            SpeedDialEntry{"S00" + digit, "Branch office " + digit, "", "03-5550-10" + digit};
    }
    model.groups[1] = GroupDialEntry{1, "Sales", "", {{'S', 2}, {'S', 5}}};
    model.groupDisplay[1] = GroupDisplay{"G01", "Sales", "Branch office 2,Branch office 5"};

    // Nothing is answered while pictures are taken.
    DefaultAnswerPrompt prompt;
    TEditForm edit(prompt, &mainWindow);
    edit.Open(EditOperationKind::Add, SpeedDialEntry{}, model, *product, "Add");
    edit.EDT_Name->setText("Head office");
    edit.EDT_Keyword->setText("HEAD");
    edit.EDT_Tel->setText("03-5550-1000");
    Shoot(edit, "EditForm");

    TEditForm_Group group(prompt, &mainWindow);
    group.Open(EditOperationKind::Edit, model.groupDisplay[1], model, "Edit");
    Shoot(group, "EditForm_Group");

    TProgForm compact(prompt, 0, &mainWindow);
    compact.SetDirection(0);
    compact.SetSequenceProgress('I', 0, 0, 1);
    compact.SetSequenceProgress('D', 4, 30, 60);
    compact.ShowStatus("Downloading data ...", 0);
    compact.SetTargetLabel("DX-R7700");
    Shoot(compact, "ProgForm_compact");

    TProgForm detailed(prompt, 4, &mainWindow);
    detailed.SetDirection(1);
    detailed.SetSequenceProgress('I', 0, 0, 1);
    detailed.SetSequenceProgress('D', 7, 1, 2);
    for (const char* line : {"Connection start.", "Transmission start", "Uploading data ..."}) {
        detailed.ShowStatus(line, 2);
    }
    detailed.SetTargetLabel("DX-R7700");
    Shoot(detailed, "ProgForm_detailed");

    TErrLogForm errors(prompt, &mainWindow);
    errors.SetErrors({"Line number:   3 Speed dial name is too long.",
                      "Line number:  12 Speed dial number contains illegal characters."});
    Shoot(errors, "ErrLogForm");

    TFormVer version(&mainWindow);
    version.Prepare();
    Shoot(version, "FormVer");

    TImportSourceForm source(&mainWindow);
    source.RB_Server->setChecked(true);
    source.EDT_Url->setText("https://contacts.example.org/dav/office/");
    source.EDT_User->setText("frontdesk");
    source.EDT_Password->setText("secret");
    source.CHK_Remember->setChecked(true);
    Shoot(source, "ImportSourceForm");

    TImportPreviewForm preview(&mainWindow);
    preview.Show(Text(Msg::ImportSummary, 3u, 3u, 1u),
                 {{"Anna Berg", "+46 8 555 0101", "004685550101", "S001"},
                  {"Cole Ltd", "(020) 7946 0018", "02079460018", "S002"},
                  {"Müller GmbH", "+49 30 5550 1234", "00493055501234", "S003"}},
                 {Text(Msg::ImportWithoutFaxName, "Dana Fox")});
    Shoot(preview, "ImportPreviewForm");

    TStartupMessageForm notice(&mainWindow);
    notice.ShowNotice("Connecting...", 0);
    Shoot(notice, "StartupMessageForm");
}

}  // namespace
}  // namespace dialvane
