// Two sends at once in one process, to a one-touch MFP and a quick-dial MFP, each in its own
// language: every run has its own connection, engine, receive thread and temporary files, words
// its messages for its own MFP and reads its file in its own code page.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "comm/TransferWorkflow.h"
#include "data/DialFileLoader.h"
#include "support/ScriptedPrompt.h"
#include "support/ServedMfp.h"
#include "support/SessionSettings.h"

namespace dialvane {
namespace {

constexpr const char* kSettings =
    "[DX-R7700]\nFaxType=1\n[DX-C3500]\nFaxType=2\n"
    "[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
    "[FaxType2]\nSpeedDial=60\nQuickDial=3\nSpeedDialKeyword=0\n";

struct MfpRun {
    const char* model;
    bool oneTouch;
    const char* language;
    int host;
    std::string file;      // the user's list in the language's code page
    std::string sent;      // the list as the MFP holds it afterwards
    std::string name;      // speed dial 1 as it reads in UTF-8
    std::string wording;   // what the unregistered button's error line starts with
    std::string notFound;  // filled by the run: that error line
    std::string loadedName;
    TransferReport report;
};

// Holds each run once its MFP is known until the other's is too, so both products are loaded
// before either reads its file: anything shared between the runs would be the other's by then.
class BothInquired {
  public:
    bool ArriveAndWait() {
        std::unique_lock lock(mutex_);
        ++arrived_;
        changed_.notify_all();
        return changed_.wait_for(lock, std::chrono::seconds(30), [this] { return arrived_ == 2; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int arrived_ = 0;
};

TEST(ParallelTransfer, EachRunKeepsTheWordingAndCodePageOfItsOwnMfp) {
    testing::TempDir dir;
    const std::string settings = dir.Write("dialvane.ini", kSettings);
    // Code page 932 "Tokyo" and Windows-1252 "Zoë"; button 2 names a speed dial nobody has.
    MfpRun runs[2] = {
        {"DX-C3500",
         true,
         "JPN",
         234,
         "S1,\x93\x8c\x8b\x9e,0301\r\nW2,S9\r\nN,\xb1\xb2\r\n",
         "S1,\x93\x8c\x8b\x9e,0301,\r\nN,\xb1\xb2\r\n",
         "東京",
         "[One Touch Dial]",
         {},
         {},
         {}},
        {"DX-R7700",
         false,
         "ENU",
         235,
         "S1,Zo\xeb,0302\r\nW2,S9\r\nN,Caf\xe9\r\n",
         "S1,Zo\xeb,0302,\r\nN,Caf\xe9\r\n",
         "Zoë",
         "[Quickh Dial]",
         {},
         {},
         {}},
    };
    std::vector<std::unique_ptr<testing::ServedMfp>> devices;
    for (const MfpRun& run : runs) {
        MfpEmulatorOptions options;
        options.model = run.model;
        options.extendedFormat = !run.oneTouch;
        options.settingsPath = settings;
        options.listRules = TextRulesForLanguage(run.language);
        devices.push_back(std::make_unique<testing::ServedMfp>(dir, run.host, "", options));
    }

    BothInquired meeting;
    auto send = [&](MfpRun& run) {
        testing::ScriptedPrompt prompt({PromptAnswer::Yes});  // send the changes
        NullProgress progress;
        DeviceSession session(testing::SessionSettingsIn(dir, run.model));
        session.UseNetwork(testing::LoopbackAddress(run.host));
        TProductInfo product(settings, TextRulesForLanguage(run.language));
        const ListSource source = [&](const TProductInfo& mfp, RecordTable& table, ListChoice&) {
            if (!meeting.ArriveAndWait()) {
                ADD_FAILURE() << run.model << ": the other run never learnt its MFP's model";
                return false;
            }
            DialModel model;
            const LoadResult loaded = LoadDialBytes(run.file, model, mfp);
            run.notFound = loaded.errorLines.empty() ? "" : loaded.errorLines.back();
            run.loadedName = model.speedDials[1].name;
            model.bindings[2].clear();
            table.BuildFromModel(model);
            return true;
        };
        TransferOptions plan;
        plan.backupFolder = dir.File(std::string("backups-") + run.model);
        plan.verify = true;
        TransferWorkflow workflow(session, product, prompt, progress);
        run.report = workflow.Send(source, plan);
        // What the session keeps of the MFP's list is readable by its owner only.
        for (const std::string& file :
             {session.Settings().sendFile, session.Settings().downloadFile}) {
            struct stat info {};
            EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
            EXPECT_EQ(info.st_mode & 0777, 0600u) << file;
        }
    };
    std::thread first(send, std::ref(runs[0]));
    std::thread second(send, std::ref(runs[1]));
    first.join();
    second.join();

    for (std::size_t i = 0; i < 2; ++i) {
        const MfpRun& run = runs[i];
        SCOPED_TRACE(run.model);
        EXPECT_EQ(run.notFound,
                  "Line number:   2 " + run.wording + " Setting Not Registered. (S009)");
        EXPECT_EQ(run.loadedName, run.name);
        EXPECT_EQ(run.report.end, TransferEnd::Done) << run.report.FailureMessage();
        EXPECT_EQ(devices[i]->Dump(), run.sent);
    }
}

}  // namespace
}  // namespace dialvane
