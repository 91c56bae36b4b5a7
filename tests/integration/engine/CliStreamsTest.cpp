// The built dialvane-cli as a part of a shell pipeline: what goes to standard output and what to
// standard error, "-" for standard input and output, and Ctrl-C in the middle of an upload.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

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

// Ctrl-C while the list goes to a slow MFP: the fax is released, then the program exits 130.
TEST_F(CliStreams, InterruptedUploadReleasesTheFaxAndExits130) {
    testing::ServedMfp& mfp = Serve(171, kList);
    EmulatorFaults slow;
    slow.answerDelayMs = 20;
    mfp->SetFaults(slow);
    const std::string cli = DIALVANE_BINARY_DIR "/apps/dialvane-cli/dialvane-cli";
    const std::vector<std::string> args = {cli,
                                           "--settings",
                                           Path("dialvane.ini"),
                                           "--data-dir",
                                           Path("data"),
                                           "upload",
                                           "--no-backup",
                                           "--host",
                                           mfp.Address(),
                                           dir_.Write("list.csv", kList)};
    int errPipe[2];
    ASSERT_EQ(pipe(errPipe), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(errPipe[1], STDERR_FILENO);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        std::vector<char*> argv;
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execv(cli.c_str(), argv.data());
        _exit(127);
    }
    close(errPipe[1]);
    // The upload has the fax once it says so; then the signal comes.
    FILE* err = fdopen(errPipe[0], "r");
    std::string seen;
    for (char line[512]; fgets(line, sizeof line, err) != nullptr;) {
        seen += line;
        if (std::string(line) == "Uploading data ...\n") {
            break;
        }
    }
    ASSERT_NE(seen.find("Uploading data ..."), std::string::npos) << seen;
    ASSERT_EQ(kill(child, SIGINT), 0);
    for (char line[512]; fgets(line, sizeof line, err) != nullptr;) {
        seen += line;
    }
    fclose(err);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << seen;
    EXPECT_EQ(WEXITSTATUS(status), 130) << seen;
    EXPECT_FALSE(mfp->Occupied());
    EXPECT_EQ(mfp->Counters().occupyStarts, 1);
    EXPECT_EQ(mfp->Counters().occupyEnds, 1);
}

}  // namespace
}  // namespace dialvane
