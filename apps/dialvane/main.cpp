// The desktop program: the start-up order, then the main window's message loop.
#include <QApplication>
#include <QDir>
#include <QSessionManager>
#include <QTabBar>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "support/Environment.h"
#include "support/Messages.h"
#include "support/Prompt.h"
#include "support/SingleInstance.h"
#include "ui/MainForm.h"
#include "ui/QtPrompt.h"

namespace {

// --settings FILE, --data-dir FOLDER and --screenshots FOLDER [--sample FILE]; anything else is
// left to Qt.
bool ReadOptions(int argc, char** argv, dialvane::StartupOptions& options, std::string& screenshots,
                 std::string& sample) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::optional<std::string>* target = nullptr;
        std::string* plain = nullptr;
        if (name == "--settings") {
            target = &options.settingsFile;
        } else if (name == "--data-dir") {
            target = &options.dataFolder;
        } else if (name == "--screenshots") {
            plain = &screenshots;
        } else if (name == "--sample") {
            plain = &sample;
        } else {
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "dialvane: %s needs a value\n", argv[i]);
            return false;
        }
        if (target != nullptr) {
            *target = std::string(argv[++i]);
        } else {
            *plain = argv[++i];
        }
    }
    return true;
}

// Renders every panel of the main window to PNG files in `folder`, with `sample` opened in the
// editor. No question is shown: every one takes its default answer.
int RenderScreenshots(dialvane::TMainForm& form, const std::string& folder,
                      const std::string& sample) {
    using namespace dialvane;
    QDir().mkpath(QString::fromStdString(folder));
    form.LoadProduct("DX-R7700");
    form.show();
    int failures = 0;
    auto save = [&](const char* name) {
        QCoreApplication::processEvents();
        QString path = QString::fromStdString(folder) + "/" + name + ".png";
        if (!form.grab().save(path)) {
            std::fprintf(stderr, "dialvane: cannot write %s\n", path.toLocal8Bit().constData());
            ++failures;
        }
    };
    save("main-standby");
    form.Panel_Change(MainModeKind::Edit, EditSourceKind::FileSelect);
    if (!sample.empty()) {
        form.AddFileHistory(sample);
    }
    save("main-file-select");
    if (!sample.empty()) {
        form.Panel_Change(MainModeKind::Edit, EditSourceKind::ExistingFile);
    } else {
        form.Panel_Change(MainModeKind::Edit, EditSourceKind::New);
    }
    if (form.Env().japaneseUi) {
        // Japanese names in the grid show that their glyphs render.
        form.Model().speedDials[150] =
            SpeedDialEntry{"S150", "大阪支店 営業部", "", "06-5550-0150"};
        form.Model().senderName = "東京本社";
        form.Speed_Grid_Set(-1);
    }
    const char* tabs[4] = {"main-speed-dial", "main-group-dial", "main-quick-dial", "main-sender"};
    for (int tab = 0; tab < 4; ++tab) {
        form.TabCtrl->setCurrentIndex(tab);
        save(tabs[tab]);
    }
    form.Model().modified.Clear();
    form.Panel_Change(MainModeKind::Setup);
    save("main-setup");
    form.Panel_Change(MainModeKind::Standby);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace dialvane;
    StartupOptions options;
    std::string screenshots;
    std::string sample;
    if (!ReadOptions(argc, argv, options, screenshots, sample)) {
        return 2;
    }
    std::string programPath = CurrentProgramPath();
    ApplyLocaleLanguage(FolderOfPath(programPath));

    // The message box of the instance check needs the application object, but no window
    // exists before the check has passed.
    QApplication app(argc, argv);
    if (!screenshots.empty()) {
        Environment environment = StartEnvironment(options);
        TMainForm mainForm(environment);
        return RenderScreenshots(mainForm, screenshots, sample);
    }
    SetActivePrompt(std::make_shared<QtPrompt>());
    std::unique_ptr<InstanceGuard> guard = CheckSingleInstance(programPath);
    if (!guard) {
        return 1;
    }
    // The application's name only: a display name would be appended by the window system to
    // every other caption ("Confirm Deletion — Dialvane"), which must read as given.
    QApplication::setApplicationName(QString::fromStdString(Text(Msg::AppTitle)));

    Environment environment = StartEnvironment(options);
    TMainForm mainForm(environment);
    // A session end saves the settings; the session may end unless the close query refuses.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &mainForm,
                     [&mainForm](QSessionManager& manager) {
                         if (!mainForm.EndSession()) {
                             manager.cancel();
                         }
                     });
    mainForm.show();
    return app.exec();
}
