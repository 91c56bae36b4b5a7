#include <gtest/gtest.h>

#include <QAbstractItemModel>

#include "contacts/DiallingRules.h"
#include "support/FileUtil.h"
#include "support/MainWindowFixture.h"
#include "ui/DiallingForm.h"
#include "ui/ImportPreviewForm.h"

namespace dialvane {
namespace {

using testing::Lines;

const std::string kVCards = DIALVANE_SOURCE_DIR "/tests/data/contacts/apple-3.0.vcf";

class ImportContactsTest : public testing::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        UseDialling("[Dialling]\nCOUNTRY_CODE=49\nOUTSIDE_LINE=0-\n");
        hooks.openContactsFile = [this] { return std::optional(source); };
    }

    // The shipped settings with `dialling` added, as the window's settings file.
    void UseDialling(const std::string& dialling) {
        environment->programSettingsFile = dir.Write(
            "dialvane.ini", ReadFileBytes(testing::kSettingsFile).value() + "\n" + dialling);
    }

    // Imports through the menu. Each dialog is answered as it opens: the dialling rules by
    // `fillDialling` then OK (Cancel when unset), the preview read and closed with OK or Cancel.
    void Import(bool accept) {
        previewRows.clear();
        AnswerNextDialog(accept);
        form->MN_Import->trigger();
    }
    void AnswerNextDialog(bool accept) {
        QTimer::singleShot(0, form.get(), [this, accept] {
            if (TDiallingForm* rules = form->DiallingForm(); rules && rules->isVisible()) {
                if (!fillDialling) {
                    rules->BTN_Cancel->click();
                    return;
                }
                fillDialling(*rules);
                fillDialling = nullptr;
                AnswerNextDialog(accept);
                rules->BTN_OK->click();
                return;
            }
            TImportPreviewForm* preview = form->ImportPreview();
            if (preview != nullptr && preview->isVisible()) {
                previewRows = ModelRows(*preview->Rows());
                (accept ? preview->BTN_OK : preview->BTN_Cancel)->click();
            }
        });
    }

    static std::string Row(const QAbstractItemModel& model, int row) {
        std::string text;
        for (int column = 0; column < model.columnCount(); ++column) {
            text += (column == 0 ? "" : "|") +
                    model.data(model.index(row, column)).toString().toStdString();
        }
        return text;
    }
    static Lines ModelRows(const QAbstractItemModel& model) {
        Lines rows;
        for (int row = 0; row < model.rowCount(); ++row) {
            rows.push_back(Row(model, row));
        }
        return rows;
    }
    // The speed-dial list as the editor shows it: key, name and number of each filled row.
    Lines SpeedList() const {
        Lines rows;
        const QAbstractItemModel& list = *form->SFG_Speed->model();
        for (int row = 0; row < list.rowCount(); ++row) {
            const auto cell = [&](int column) {
                return list.index(row, column).data().toString().toStdString();
            };
            rows.push_back(cell(0) + "|" + cell(1) + "|" + cell(3));
        }
        return rows;
    }

    std::string source = kVCards;
    Lines previewRows;
    std::function<void(TDiallingForm&)> fillDialling;
};

TEST_F(ImportContactsTest, PreviewedVCardsOpenAsAnUnsavedListOnOk) {
    Make();
    Import(true);
    EXPECT_EQ(previewRows, (Lines{
                               "S001|Schmidt, Eva|+44 (0)20 7946 0018|0-00442079460018",
                               "S002|Zentrale der Stadtwerke Brandenburg an der Havel|0331 555 "
                               "12|0-033155512",
                               "S003|Zentrale der Stadtwerke Brandenburg an der Havel|0331 555 "
                               "13|0-033155513",
                           }));
    ASSERT_TRUE(form->EditorShown());
    EXPECT_TRUE(form->Untitled());
    EXPECT_EQ(SpeedList(),
              (Lines{"S001|Schmidt, Eva|0-00442079460018", "S002|Zentrale der Sta|0-033155512",
                     "S003|Zentrale der (2)|0-033155513"}));
    EXPECT_EQ(form->Model().groups[1].name, "Customers");
    EXPECT_TRUE(form->Model().modified.speedDials);
}

TEST_F(ImportContactsTest, OpenListKeepsItsKeysAndCancelKeepsTheList) {
    NewList();
    AddSpeedDial(7, "Eva", "0-00442079460018");
    form->Model().modified.Clear();
    Import(false);
    EXPECT_EQ(previewRows.size(), 3u);
    EXPECT_EQ(SpeedList(), (Lines{"S007|Eva|0-00442079460018"}));
    EXPECT_FALSE(form->Model().modified.Any());

    Import(true);
    EXPECT_EQ(SpeedList(),
              (Lines{"S001|Zentrale der Sta|0-033155512", "S002|Zentrale der (2)|0-033155513",
                     "S007|Schmidt, Eva|0-00442079460018"}));
}

TEST_F(ImportContactsTest, AnImportThatCannotBeDoneSaysWhyAndChangesNothing) {
    struct Case {
        const char* dialling;
        std::string source;
        const char* named;  // in the one message shown
    } cases[] = {
        {"", kVCards, "COUNTRY_CODE"},
        {"[Dialling]\nCOUNTRY_CODE=49\n", dir.Write("list.txt", "x"), "list.txt"},
    };
    for (const Case& c : cases) {
        UseDialling(c.dialling);
        source = c.source;
        NewList();
        AddSpeedDial(7, "Eva", "0-00442079460018");
        const size_t asked = prompt->Requests().size();
        Import(true);
        ASSERT_EQ(prompt->Requests().size(), asked + 1) << c.named;
        EXPECT_NE(prompt->Last().text.find(c.named), std::string::npos) << prompt->Last().text;
        EXPECT_TRUE(previewRows.empty()) << c.named;
        EXPECT_EQ(SpeedList(), (Lines{"S007|Eva|0-00442079460018"})) << c.named;
    }
}

TEST_F(ImportContactsTest, DiallingRulesAskedForAreStoredAndUsed) {
    UseDialling("[Other]\nKEPT=1\n");
    Make();
    fillDialling = [](TDiallingForm& rules) {
        EXPECT_EQ(rules.EDT_International->text(), "00");
        rules.EDT_Country->setText("49");
        rules.EDT_Outside->setText("0-");
    };
    Import(true);
    EXPECT_NE(prompt->Last().text.find("COUNTRY_CODE"), std::string::npos) << prompt->Last().text;
    const DiallingSettings stored = ReadDiallingSettings(environment->programSettingsFile);
    EXPECT_EQ(stored.countryCode + " " + stored.outsideLine, "49 0-");
    EXPECT_NE(ReadFileBytes(environment->programSettingsFile).value().find("KEPT"),
              std::string::npos);
    EXPECT_EQ(previewRows.size(), 3u);
    ASSERT_TRUE(form->EditorShown());
    EXPECT_EQ(SpeedList().front(), "S001|Schmidt, Eva|0-00442079460018");
}

}  // namespace
}  // namespace dialvane
