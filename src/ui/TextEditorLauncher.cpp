#include "ui/TextEditorLauncher.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace dialvane {
namespace {

constexpr int kQueryTimeoutMs = 5000;

// The desktop file name of the default application for text/plain; empty when none is set.
QString PlainTextHandler() {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
    if (!query.waitForFinished(kQueryTimeoutMs) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0) {
        query.kill();
        return {};
    }
    const QString id = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    return id.endsWith(QLatin1String(".desktop")) ? id : QString();
}

// A handler set for text/plain by mistake can still be a spreadsheet.
bool IsSpreadsheet(const QString& desktopFile) {
    QFile file(desktopFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    for (QByteArray line = file.readLine(); !line.isEmpty(); line = file.readLine()) {
        if (line.startsWith("Categories=") && line.contains("Spreadsheet")) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool OpenInTextEditor(const std::string& path) {
    const QString id = PlainTextHandler();
    if (id.isEmpty()) {
        return false;
    }
    const QString desktopFile = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
    if (!desktopFile.isEmpty() && IsSpreadsheet(desktopFile)) {
        return false;
    }
    const QString file = QString::fromStdString(path);
    if (QProcess::startDetached(QStringLiteral("gtk-launch"), {id, file})) {
        return true;
    }
    return !desktopFile.isEmpty() &&
           QProcess::startDetached(QStringLiteral("gio"),
                                   {QStringLiteral("launch"), desktopFile, file});
}

}  // namespace dialvane
