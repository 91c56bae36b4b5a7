// The desktop program: the start-up order, then the main window's message loop.
#include <QApplication>
#include <QSessionManager>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "support/Environment.h"
#include "support/Messages.h"
#include "support/Prompt.h"
#include "support/SingleInstance.h"
#include "ui/MainForm.h"
#include "ui/QtPrompt.h"

namespace {

// --settings FILE and --data-dir FOLDER; anything else is left to Qt.
bool ReadOptions(int argc, char** argv, dialvane::StartupOptions& options) {
    for (int i = 1; i < argc; ++i) {
        bool settings = std::strcmp(argv[i], "--settings") == 0;
        bool data = std::strcmp(argv[i], "--data-dir") == 0;
        if (!settings && !data) {
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "dialvane: %s needs a value\n", argv[i]);
            return false;
        }
        (settings ? options.settingsFile : options.dataFolder) = std::string(argv[++i]);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace dialvane;
    StartupOptions options;
    if (!ReadOptions(argc, argv, options)) {
        return 2;
    }
    std::string programPath = CurrentProgramPath();
    ApplyLocaleLanguage(FolderOfPath(programPath));

    // The message box of the instance check needs the application object, but no window
    // exists before the check has passed.
    QApplication app(argc, argv);
    SetActivePrompt(std::make_shared<QtPrompt>());
    std::unique_ptr<InstanceGuard> guard = CheckSingleInstance(programPath);
    if (!guard) {
        return 1;
    }
    QApplication::setApplicationName(QString::fromStdString(Text(Msg::AppTitle)));
    QApplication::setApplicationDisplayName(QString::fromStdString(Text(Msg::AppTitle)));

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
