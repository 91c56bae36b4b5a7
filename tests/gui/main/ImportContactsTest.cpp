#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractItemModel>

#include "contacts/DiallingRules.h"
#include "support/AcceptingListener.h"
#include "support/FileUtil.h"
#include "support/GlobalScopes.h"
#include "support/MainWindowFixture.h"
#include "support/RadicaleServer.h"
#include "support/UserSettings.h"
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
        hooks.askContactsSource = [this](const ContactsSourceChoice& offered) {
            offeredSource = offered;
            if (sourceAnswer && sourceAnswer->server) {
                WatchFetch();
            }
            return sourceAnswer;
        };
    }

    // Posted before the fetch starts, so it runs while the fetch is under way: the window goes
    // on handling events and shows it is busy. The preview is answered once that has gone.
    void WatchFetch() {
        QTimer::singleShot(0, form.get(), [this] {
            QWidget* busy = form->ContactsFetchBusy();
            busySeen = busy != nullptr && busy->isVisible();
            if (busy != nullptr && stopFetch) {
                busy->findChild<QPushButton*>("BTN_Abort")->click();
            } else if (busy != nullptr) {
                QObject::connect(busy, &QObject::destroyed, form.get(),
                                 [this] { AnswerNextDialog(true); });
            }
        });
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

    // Every row of `model`, its cells joined by "|".
    static Lines ModelRows(const QAbstractItemModel& model) {
        Lines rows(model.rowCount());
        for (int row = 0; row < model.rowCount(); ++row) {
            for (int column = 0; column < model.columnCount(); ++column) {
                rows[row] += (column == 0 ? "" : "|") +
                             model.data(model.index(row, column)).toString().toStdString();
            }
        }
        return rows;
    }
    // The speed-dial list as the editor shows it: key, name, keyword and number of each row.
    Lines SpeedList() const { return ModelRows(*form->SFG_Speed->model()); }

    std::string source = kVCards;
    std::optional<ContactsSourceChoice> sourceAnswer = ContactsSourceChoice{};  // a file
    ContactsSourceChoice offeredSource;
    bool busySeen = false;
    bool stopFetch = false;  // Stop pressed as soon as the fetch is under way
    Lines previewRows;
    std::function<void(TDiallingForm&)> fillDialling;
};

// Without a country code the import says so and asks for the dialling rules: Cancel there
// imports nothing; OK stores them beside the other settings, and the previewed contacts open,
// dialled by those rules, as a new unsaved list.
TEST_F(ImportContactsTest, DiallingRulesAskedForAreStoredAndThePreviewOpensAsAnUnsavedList) {
    UseDialling("[Other]\nKEPT=1\n");
    Make();
    Import(true);
    EXPECT_EQ(prompt->Requests().size(), 1u);
    EXPECT_NE(prompt->Last().text.find("COUNTRY_CODE"), std::string::npos) << prompt->Last().text;
    EXPECT_TRUE(previewRows.empty());
    EXPECT_FALSE(form->EditorShown());
    EXPECT_TRUE(ReadDiallingSettings(environment->programSettingsFile).countryCode.empty());

    fillDialling = [](TDiallingForm& rules) {
        EXPECT_EQ(rules.EDT_International->text(), "00");
        rules.EDT_Country->setText("49");
        rules.EDT_Outside->setText("0-");
    };
    Import(true);
    const DiallingSettings stored = ReadDiallingSettings(environment->programSettingsFile);
    EXPECT_EQ(stored.countryCode + " " + stored.outsideLine, "49 0-");
    EXPECT_NE(ReadFileBytes(environment->programSettingsFile).value().find("KEPT"),
              std::string::npos);
    EXPECT_EQ(previewRows, (Lines{
                               "S001|Schmidt, Eva|+44 (0)20 7946 0018|0-00442079460018",
                               "S002|Zentrale der Stadtwerke Brandenburg an der Havel|0331 555 "
                               "12|0-033155512",
                               "S003|Zentrale der Stadtwerke Brandenburg an der Havel|0331 555 "
                               "13|0-033155513",
                           }));
    // What the list holds is the command line's import of the same file.
    ASSERT_TRUE(form->EditorShown());
    EXPECT_TRUE(form->Untitled());
    EXPECT_EQ(SpeedList().size(), 3u);
    EXPECT_TRUE(form->Model().modified.speedDials);
}

// A file that is no address book and a cancelled preview leave the open list as it was; an
// accepted one joins it, and the list keeps its keys.
TEST_F(ImportContactsTest, AnOpenListKeepsItsKeysAndWhatIsNotImportedChangesNothing) {
    NewList();
    AddSpeedDial(7, "Eva", "0-00442079460018");
    form->Model().modified.Clear();
    source = dir.Write("list.txt", "x");
    Import(false);
    ASSERT_EQ(prompt->Requests().size(), 1u);
    EXPECT_NE(prompt->Last().text.find("list.txt"), std::string::npos) << prompt->Last().text;
    source = kVCards;
    Import(false);
    EXPECT_EQ(previewRows.size(), 3u);
    EXPECT_EQ(SpeedList(), (Lines{"S007|Eva||0-00442079460018"}));
    EXPECT_FALSE(form->Model().modified.Any());

    Import(true);
    EXPECT_EQ(SpeedList(),
              (Lines{"S001|Zentrale der Sta||0-033155512", "S002|Zentrale der (2)||0-033155513",
                     "S007|Schmidt, Eva||0-00442079460018"}));
}

TEST_F(ImportContactsTest, AddressBookServerImportKeepsThePasswordOnlyWhenAskedAndNeverInSettings) {
    constexpr const char* kPassword = "Fax-Secret-5521";
    constexpr const char* kWrong = "Guess-8080";
    testing::ClearProxyVariables();
    const testing::RadicaleServer server(testing::LoopbackAddress(136), "office", kPassword);
    ASSERT_EQ(server.Problem(), "");
    const std::string login = std::string("office:") + kPassword;
    ASSERT_EQ(server.MakeAddressBook("/office/fax/", login), 201);
    // One contact: fetching several is the client's own test against the same server.
    ASSERT_EQ(server.Send("PUT", "/office/fax/a.vcf", login, "text/vcard",
                          "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Anna Berger\r\n"
                          "TEL;TYPE=WORK,FAX:+49 30 1234567\r\nEND:VCARD\r\n"),
              201);
    // Every log category on, so that whatever the import logs is there to be searched.
    UseDialling("[LOG_LEVEL]\nDEFAULT=1\n[Dialling]\nCOUNTRY_CODE=49\nOUTSIDE_LINE=0-\n");
    const testing::LogScope log(environment->paths.dataFolder, environment->programSettingsFile);
    const std::string url = server.Base() + "/office/fax/";
    // Takes the connection and never answers: only Stop ends the fetch.
    const testing::AcceptingListener silent(testing::LoopbackAddress(137));
    ASSERT_TRUE(silent.Ready());
    const std::string silentUrl = "http://" + testing::LoopbackAddress(137) + ":9100/fax/";
    const std::string passwordFile = environment->paths.cardDavPasswordFile;
    const Lines imported{"S001|Anna Berger||0-0301234567"};
    const Lines untouched{"S007|Eva||0-00442079460018"};
    const auto describe = [](const ContactsSourceChoice& c) {
        return (c.server ? "server " : "file ") + c.url + " " + c.user + " " + c.password +
               (c.remember ? " remember" : "");
    };
    const auto offer = [&](const char* password, bool remember) {
        return describe({true, url, "office", password, remember});
    };
    struct Step {
        const char* what;
        const char* password;  // typed, or left as offered
        bool remember;
        bool exposed;         // a kept password readable by others is there before the step
        std::string offered;  // what the import offered before it asked
        const char* told;     // part of the one message shown; empty: none
        bool keptAfter;
        bool stopped = false;  // Stop pressed while the server stays silent
    };
    const Step steps[] = {
        {"a wrong password", kWrong, true, false, describe({}), "401", false},
        {"the right one, remembered", kPassword, true, false, offer("", false), "", true},
        {"offered again, forgotten", kPassword, false, false, offer(kPassword, true), "", false},
        {"a kept file others can read", kWrong, false, true, offer("", true), "401", false},
        {"stopped", kWrong, false, false, offer("", false), "", false, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.exposed) {
            dir.Write("data/carddav-password", std::string(kPassword) + "\n");
            ASSERT_EQ(::chmod(passwordFile.c_str(), 0644), 0);
        }
        NewList();
        AddSpeedDial(7, "Eva", "0-00442079460018");
        const size_t told = prompt->Requests().size();
        const std::string& asked = step.stopped ? silentUrl : url;
        sourceAnswer = ContactsSourceChoice{true, asked, "office", step.password, step.remember};
        stopFetch = step.stopped;
        busySeen = false;
        previewRows.clear();
        form->MN_Import->trigger();
        EXPECT_TRUE(busySeen);
        EXPECT_EQ(describe(offeredSource), step.offered);
        ASSERT_EQ(prompt->Requests().size(), told + (*step.told ? 1 : 0));
        if (*step.told) {
            EXPECT_NE(prompt->Last().text.find(step.told), std::string::npos)
                << prompt->Last().text;
        }
        const bool done = !*step.told && !step.stopped;
        EXPECT_EQ(previewRows.size(), done ? imported.size() : 0u);
        EXPECT_EQ(SpeedList(), done ? imported : untouched);
        struct stat kept {};
        ASSERT_EQ(::stat(passwordFile.c_str(), &kept) == 0, step.keptAfter);
        if (step.keptAfter) {
            EXPECT_EQ(kept.st_mode & 0777, 0600u);
            EXPECT_EQ(dir.Read("data/carddav-password"), std::string(kPassword) + "\n");
        }
        const std::string settings = dir.Read("data/MFP_USER.INI");
        EXPECT_NE(settings.find(asked), std::string::npos) << settings;
        const std::string logged = dir.Read("data/ZEVIZ_LOG.txt");
        EXPECT_NE(logged.find(asked), std::string::npos);
        for (const std::string& text :
             {settings, logged, ReadFileBytes(environment->programSettingsFile).value()}) {
            EXPECT_EQ(text.find(kPassword), std::string::npos) << text;
            EXPECT_EQ(text.find(kWrong), std::string::npos) << text;
        }
    }
    // The next start offers the same server and user.
    const UserSettings stored = ReadUserSettings(environment->paths.userSettingsFile, 1);
    EXPECT_EQ(stored.cardDavUrl + " " + stored.cardDavUser, silentUrl + " office");
}

}  // namespace
}  // namespace dialvane
