#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/Prompt.h"
#include "support/ScriptedPrompt.h"

namespace dialvane::testing {

// One QApplication for the whole test program, created by the first fixture that needs it;
// every GUI test program shares this set-up.
inline QApplication& EnsureApplication() {
    static int argc = 1;
    static char name[] = "dialvane-gui-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        // Offscreen unless told otherwise (the screenshots choose an offscreen screen's size).
        if (!qgetenv("QT_QPA_PLATFORM").startsWith("offscreen")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        return new QApplication(argc, argv);
    }();
    return *app;
}

// The base of every GUI fixture: the application exists before the first widget does.
class GuiTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

// Processes events until the condition holds; false when it still does not after a generous
// bound (a hung test then fails instead of blocking the run).
inline bool ProcessUntil(const std::function<bool()>& condition, int boundMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > boundMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Column `column` of every row of `model` (a list's, a table's or a combo box's), top to bottom.
inline std::vector<std::string> Column(const QAbstractItemModel* model, int column = 0) {
    std::vector<std::string> cells;
    for (int row = 0; row < model->rowCount(); ++row) {
        cells.push_back(model->index(row, column).data().toString().toStdString());
    }
    return cells;
}

}  // namespace dialvane::testing
