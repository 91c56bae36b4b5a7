// The desktop program: the start-up order, then the main window's message loop.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLineEdit>
#include <QSessionManager>
#include <QTabBar>
#include <QTableView>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "PdfExport.h"
#include "SingleInstance.h"
#include "support/DiagnosticLog.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "support/Prompt.h"
#include "support/Version.h"
#include "ui/MainForm.h"
#include "ui/QtPrompt.h"

namespace {

struct GuiOptions {
    dialvane::StartupOptions startup;
    std::string screenshots;
    std::string sample;
    dialvane::PdfExportRequest pdf;  // output empty: the window is shown
};

// Qt has already taken its own options (-platform, -style ...) out of the arguments. Help and
// version are printed here and end the program, as do errors (exit status 2).
std::optional<int> ReadOptions(const QStringList& arguments, GuiOptions& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Reads, edits, saves and writes back the fax dial list of an ORVEX colour MFP.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption settings(
        "settings",
        "Program settings file (default: the first of $XDG_CONFIG_HOME/ORVEX/Dialvane/"
        "dialvane.ini, dialvane.ini beside the program, PREFIX/share/dialvane/"
        "dialvane.ini).",
        "FILE");
    const QCommandLineOption dataDir(
        "data-dir", "Per-user data folder (default: $XDG_DATA_HOME/ORVEX/Dialvane).", "DIR");
    const QCommandLineOption screenshots(
        "screenshots", "Save a picture of every main-window panel in DIR and exit.", "DIR");
    const QCommandLineOption sample("sample", "With --screenshots: the dial list file shown.",
                                    "FILE");
    const QCommandLineOption exportPdf(
        "export-pdf",
        "Write the dial list file LIST as a printable PDF to FILE and exit; nothing is written "
        "when LIST has errors.",
        "FILE");
    const QCommandLineOption model(
        "model",
        "With --export-pdf: the model whose limits and buttons apply (default: the "
        "offline model of the settings file).",
        "MODEL");
    parser.addOptions({settings, dataDir, screenshots, sample, exportPdf, model});
    parser.addPositionalArgument("LIST", "With --export-pdf: the dial list file.", "[LIST]");
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "dialvane: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help)) {
        // The usage line names the program as it is installed, not the path it ran from.
        QString text = parser.helpText();
        text.replace(arguments.constFirst(), "dialvane");
        std::fputs(qPrintable(text), stdout);
        std::fputs(
            "\nExit status:\n  0  closed normally, or the PDF was written\n"
            "  1  another copy is already running, or with --export-pdf: LIST has errors\n"
            "     (printed on standard error) or the PDF cannot be written\n"
            "  2  usage error, the settings file or LIST cannot be read, or the model is unknown\n",
            stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("dialvane (%s) %s\n", dialvane::ProductName().c_str(),
                    dialvane::ProductVersion().c_str());
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    const bool exporting = parser.isSet(exportPdf);
    if (positional.size() > (exporting ? 1 : 0)) {
        std::fprintf(stderr, "dialvane: unexpected argument: %s\n",
                     qPrintable(positional.constLast()));
        return 2;
    }
    if (exporting && positional.isEmpty()) {
        std::fprintf(stderr, "dialvane: --export-pdf needs the dial list file to export\n");
        return 2;
    }
    if (parser.isSet(model) && !exporting) {
        std::fprintf(stderr, "dialvane: --model is used only with --export-pdf\n");
        return 2;
    }
    if (exporting) {
        options.pdf = {parser.value(exportPdf).toStdString(), positional.constFirst().toStdString(),
                       parser.value(model).toStdString()};
    }
    if (parser.isSet(settings)) {
        options.startup.settingsFile = parser.value(settings).toStdString();
    }
    if (parser.isSet(dataDir)) {
        options.startup.dataFolder = parser.value(dataDir).toStdString();
    }
    options.screenshots = parser.value(screenshots).toStdString();
    options.sample = parser.value(sample).toStdString();
    if (const std::string problem = dialvane::CheckStartupOptions(options.startup);
        !problem.empty()) {
        std::fprintf(stderr, "dialvane: %s\n", problem.c_str());
        return 2;
    }
    return std::nullopt;
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
    // The search in use, over the list sorted by name.
    form.TabCtrl->setCurrentIndex(0);
    form.EDT_Speed_Search->setText(form.Env().japaneseUi ? "大阪" : "03-5550");
    form.SFG_Speed->sortByColumn(1, Qt::AscendingOrder);
    save("main-speed-dial-search");
    form.EDT_Speed_Search->clear();
    form.SFG_Speed->sortByColumn(0, Qt::AscendingOrder);
    form.Model().modified.Clear();
    form.Panel_Change(MainModeKind::Setup);
    save("main-setup");
    form.Panel_Change(MainModeKind::Standby);
    return failures == 0 ? 0 : 1;
}

// Whether the command line asks only for the help or the version text, which need no display.
bool AsksHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") {
            break;
        }
        if (argument == "-h" || argument == "--help" || argument == "-?" ||
            argument == "--help-all" || argument == "-v" || argument == "--version") {
            return true;
        }
    }
    return false;
}

// Whether the command line asks for a PDF export, which runs without a display.
bool AsksPdfExport(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") {
            break;
        }
        if (argument == "--export-pdf" || argument.starts_with("--export-pdf=")) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace dialvane;
    std::string programPath = CurrentProgramPath();
    ApplyLocaleLanguage(ResourceFolder(FolderOfPath(programPath)));

    if (AsksHelpOrVersion(argc, argv)) {
        // Printed before the window system is loaded: a machine without a display can ask.
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationVersion(QString::fromStdString(ProductVersion()));
        GuiOptions unused;
        return ReadOptions(QCoreApplication::arguments(), unused).value_or(0);
    }
    if (AsksPdfExport(argc, argv)) {
        // Fonts and the PDF writer need the window system's objects, not a screen.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The message box of the instance check needs the application object, but no window
    // exists before the check has passed.
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromStdString(ProductVersion()));
    GuiOptions gui;
    if (const std::optional<int> status = ReadOptions(QCoreApplication::arguments(), gui)) {
        return *status;
    }
    const StartupOptions& options = gui.startup;
    if (!gui.pdf.output.empty()) {
        // An export is not a window: it runs beside an open one.
        return ExportDialListPdf(StartEnvironment(options), gui.pdf);
    }
    if (!gui.screenshots.empty()) {
        Environment environment = StartEnvironment(options);
        // Pictures are taken unattended: no question may wait for an answer.
        MainFormHooks hooks;
        hooks.prompt = std::make_shared<DefaultAnswerPrompt>();
        TMainForm mainForm(environment, std::move(hooks));
        return RenderScreenshots(mainForm, gui.screenshots, gui.sample);
    }
    // The boxes shown before the window exists (and the log's, for the whole run) have no
    // window to belong to: they show over whichever window is active.
    const auto prompt = std::make_shared<QtPrompt>();
    std::unique_ptr<InstanceGuard> guard = CheckSingleInstance(*prompt, programPath);
    if (!guard) {
        return 1;
    }
    // The application's name only: a display name would be appended by the window system to
    // every other caption ("Confirm Deletion — Dialvane"), which must read as given.
    QApplication::setApplicationName(QString::fromStdString(Text(Msg::AppTitle)));

    SetLogFailurePrompt(prompt);
    Environment environment = StartEnvironment(options);
    MainFormHooks hooks;
    hooks.prompt = prompt;
    TMainForm mainForm(environment, std::move(hooks));
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
