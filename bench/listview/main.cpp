// Times the editor's lists in the window with 200 speed dials and 20 groups: from a changed
// search text to the filtered view's row count, and from an edit to the refreshed list (in the
// stored order and sorted by name). Prints the median of the runs.
//
//   bench_listview [RUNS]
#include <unistd.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/Environment.h"
#include "support/ScriptedPrompt.h"
#include "ui/MainForm.h"

namespace fs = std::filesystem;
using namespace dialvane;

namespace {

using Clock = std::chrono::steady_clock;

// Names with Latin, full-width and Japanese text, so the search folds all three kinds.
std::string NameOf(int number) {
    static const char* const kinds[] = {"Branch Office ", "ＯＲＶＥＸ 支店 ", "大阪営業所 "};
    return kinds[number % 3] + std::to_string(number);
}

void FillList(DialModel& model) {
    for (int number = 1; number <= kMaxSpeedDials; ++number) {
        char key[8];
        std::snprintf(key, sizeof key, "S%03d", number);
        model.speedDials[number] =
            SpeedDialEntry{key, NameOf(number), "KW" + std::to_string(number),
                           "03-5550-" + std::to_string(1000 + number)};
    }
    for (int group = 1; group <= kMaxGroups; ++group) {
        model.groups[group].number = group;
        model.groups[group].name = "Group " + std::to_string(group);
        for (int member = 0; member < 10; ++member) {
            model.groups[group].members.push_back({'S', (group * 10 + member) % 200 + 1});
        }
    }
    model.RebuildMemberships();
}

// The median of `runs` timings of `step`, in milliseconds; `check` must hold after each.
double Median(int runs, const std::function<void(int)>& step, const std::function<bool()>& check,
              const char* what) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        step(run);
        const bool ok = check();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (!ok) {
            std::fprintf(stderr, "%s: the list did not show what it should\n", what);
            std::exit(1);
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("%-58s median %.3f ms (min %.3f, max %.3f, %d runs)\n", what,
                times[times.size() / 2], times.front(), times.back(), runs);
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 201;
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("offscreen")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const fs::path folder =
        fs::temp_directory_path() / ("dialvane-bench-listview-" + std::to_string(::getpid()));
    StartupOptions options;
    options.settingsFile = DIALVANE_SOURCE_DIR "/config/dialvane.ini";
    options.dataFolder = folder.string();
    options.startLog = false;
    Environment environment = StartEnvironment(options);

    MainFormHooks hooks;
    hooks.prompt = std::make_shared<testing::ScriptedPrompt>();
    hooks.findPrinter = [] { return std::string(); };
    int edits = 0;
    hooks.editSpeedDial = [&edits](EditOperationKind, SpeedDialEntry& buffer) {
        buffer.name = "Renamed " + std::to_string(++edits);
        return true;
    };
    hooks.editGroup = [&edits](EditOperationKind, GroupDisplay&, DialModel& model) {
        model.groups[7].name = "Renamed " + std::to_string(++edits);
        return true;
    };
    {
        TMainForm form(environment, hooks);
        form.LoadProduct("DX-R7700");
        form.TV_Ctrl->setCurrentItem(form.Node(2));  // a new list in the editor
        FillList(form.Model());
        form.TabCtrl->setCurrentIndex(1);
        form.TabCtrl->setCurrentIndex(0);
        QTableView* speed = form.SFG_Speed;
        QTableView* groups = form.SFG_Group;
        if (speed->model()->rowCount() != 200 || groups->model()->rowCount() != 20) {
            std::fprintf(stderr, "the lists were not filled\n");
            return 1;
        }

        // Each search differs from the one before, so every run filters again.
        const char* searches[] = {"office", "ｏｒｖｅｘ", "大阪", "03-5550-11", "s1", ""};
        const int expected[] = {66, 67, 67, 100, 100, 200};
        int shown = 0;
        // Each run types the next of `texts` into `search` and reads the rows `list` then shows.
        const auto timeSearch = [&](QLineEdit* search, QTableView* list,
                                    const std::vector<const char*>& texts, const char* label) {
            Median(
                runs,
                [&](int run) {
                    search->setText(QString::fromUtf8(texts[run % texts.size()]));
                    shown = list->model()->rowCount();
                },
                [&] { return shown > 0; }, label);
            search->clear();
        };
        timeSearch(form.EDT_Speed_Search, speed, {std::begin(searches), std::end(searches)},
                   "speed dials: search text to row count");
        for (int i = 0; i < 6; ++i) {
            form.EDT_Speed_Search->setText(QString::fromUtf8(searches[i]));
            if (speed->model()->rowCount() != expected[i]) {
                std::fprintf(stderr, "search \"%s\" showed %d rows\n", searches[i],
                             speed->model()->rowCount());
            }
        }
        form.EDT_Speed_Search->clear();
        timeSearch(form.EDT_Group_Search, groups, {"group 1", "branch office", "7", ""},
                   "groups: search text to row count");

        const auto editSpeed = [&](int) {
            form.BTN_Speed_Edit->click();
            shown = speed->model()->rowCount();
        };
        const auto renamed = [&] {
            return speed->selectionModel()->selectedRows(1).value(0).data().toString() ==
                   QString("Renamed %1").arg(edits);
        };
        speed->selectRow(100);
        Median(runs, editSpeed, renamed, "speed dials: edit to refreshed list (by number)");
        speed->horizontalHeader()->setSortIndicator(1, Qt::AscendingOrder);
        Median(runs, editSpeed, renamed, "speed dials: edit to refreshed list (by name)");

        form.TabCtrl->setCurrentIndex(1);
        groups->selectRow(6);
        Median(
            runs,
            [&](int) {
                form.BTN_Group_Edit->click();
                shown = groups->model()->rowCount();
            },
            [&] {
                return groups->selectionModel()->selectedRows(1).value(0).data().toString() ==
                       QString("Renamed %1").arg(edits);
            },
            "groups: edit to refreshed list");
    }
    fs::remove_all(folder);
    return 0;
}
