// The built dialvane-cli as a part of a shell pipeline: what goes to standard output and what to
// standard error, "-" for standard input and output, and Ctrl-C in the middle of an upload.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "support/ServedMfp.h"

namespace dialvane {
namespace {

class CliStreams : public testing::CliAgainstMfp {};

TEST_F(CliStreams, CheckAndExportReadStandardInputAndWriteStandardOutput) {
    const auto exported = Cli({"export", "-", "-o", "-"}, kList);
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.err, "");
    ASSERT_EQ(Cli({"export", dir_.Write("list.csv", kList), "-o", dir_.File("file.csv")}).status,
              0);
    EXPECT_EQ(exported.out, dir_.Read("file.csv"));

    // The error lines are check's result; only they are on standard output.
    const auto checked = Cli({"check", "-"}, "S1,Office,03-555-123,\r\nS999,Nowhere,1,\r\n");
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out.rfind("Line number:   2 ", 0), 0u) << checked.out;
    EXPECT_EQ(checked.err, "");
}

TEST_F(CliStreams, DownloadToStandardOutputCarriesOnlyTheList) {
    testing::ServedMfp& mfp = Serve(170, kList);
    const auto download = Cli({"download", "--host", mfp.Address(), "-o", "-"});
    EXPECT_EQ(download.status, 0) << download.err;
    EXPECT_EQ(download.out, mfp.Dump());
    EXPECT_TRUE(download.err.ends_with("\nDownload completed.\n")) << download.err;
    EXPECT_EQ(download.err.find('\r'), std::string::npos);

    // An output that cannot be written stops the command before the MFP hears of it.
    const int before = mfp->Counters().connections;
    const auto closed = Cli({"download", "--host", mfp.Address(), "-o", Path("none/list.csv")});
    EXPECT_EQ(closed.status, 2);
    EXPECT_NE(closed.err.find(dir_.File("none/list.csv")), std::string::npos) << closed.err;
    EXPECT_EQ(mfp->Counters().connections, before);
}

// Ctrl-C while the MFP keeps the program waiting for the answer to a registration: the fax is
// released, then the program exits 130.
TEST_F(CliStreams, InterruptedUploadReleasesTheFaxAndExits130) {
    testing::ServedMfp& mfp = Serve(171, kList);
    EmulatorFaults silent;
    silent.silence = CommandMatch::Nth(1, ToolCommand::FrameWrite, 0x7D);
    mfp->SetFaults(silent);
    // The program must still be waiting when the signal comes, however late that is.
    std::string settings = kSettings;
    settings.replace(settings.find("TIMEOUT=3000"), 12, "TIMEOUT=120000");
    dir_.Write("dialvane.ini", settings);
    // The shell names its process, which exec hands to the program; standard error is read.
    const std::string command =
        "echo $$; exec '" DIALVANE_BINARY_DIR "/apps/dialvane-cli/dialvane-cli' --settings '" +
        Path("dialvane.ini") + "' --data-dir '" + Path("data") + "' upload --no-backup --host " +
        mfp.Address() + " '" + dir_.Write("list.csv", kList) + "' 2>&1 >/dev/null";
    FILE* err = popen(command.c_str(), "r");
    ASSERT_NE(err, nullptr);
    char line[512];
    ASSERT_NE(fgets(line, sizeof line, err), nullptr);
    const pid_t child = std::atoi(line);
    // The signal comes once the MFP has the registration it leaves unanswered.
    bool swallowed = false;
    for (int count = 1; !swallowed; ++count) {
        if (!mfp->WaitForCommands(count, std::chrono::seconds(60))) {
            kill(child, SIGKILL);
            pclose(err);
            FAIL() << "the upload never sent its speed dial registration";
        }
        const ReceivedCommand received = mfp->Transcript().at(count - 1);
        swallowed =
            received.command == static_cast<int>(ToolCommand::FrameWrite) && received.mid == 0x7D;
    }
    ASSERT_EQ(kill(child, SIGINT), 0);
    std::string seen;
    while (fgets(line, sizeof line, err) != nullptr) {
        seen += line;
    }
    const int status = pclose(err);
    ASSERT_TRUE(WIFEXITED(status)) << seen;
    EXPECT_EQ(WEXITSTATUS(status), 130) << seen;
    // Ctrl-C was the answer: the command line asks nothing.
    EXPECT_EQ(seen.find("Stop Transmission?"), std::string::npos) << seen;
    EXPECT_FALSE(mfp->Occupied());
    EXPECT_EQ(mfp->Counters().occupyStarts, 1);
    EXPECT_EQ(mfp->Counters().occupyEnds, 1);
}

}  // namespace
}  // namespace dialvane
