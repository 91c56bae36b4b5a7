// How dialvane-cli reads its command line: help, version, usage errors and their exit status.
#include <gtest/gtest.h>

#include <string>

#include "support/RunCli.h"

namespace dialvane {
namespace {

const std::string kSample = std::string(DIALVANE_SOURCE_DIR) + "/samples/sample-dial-list.csv";

class CommandLine : public ::testing::Test {
  protected:
    testing::CliRun Cli(const std::vector<std::string>& args) const {
        return testing::RunCli(dir_, args);
    }
    testing::TempDir dir_;
};

TEST_F(CommandLine, VersionAndHelpGoToStandardOutput) {
    const auto version = Cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("dialvane-cli (ORVEX Dialvane) 1.")) << version.out;
    EXPECT_EQ(version.err, "");

    const auto help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"check FILE", "export FILE", "test", "download", "upload FILE"}) {
        EXPECT_NE(help.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;
    }
    EXPECT_NE(help.out.find("\n  130  stopped by Ctrl-C"), std::string::npos);

    // A command's help lists its own options and the common ones, not the others'.
    const auto upload = Cli({"upload", "--help"});
    EXPECT_EQ(upload.status, 0);
    EXPECT_TRUE(upload.out.starts_with(
        "Usage: dialvane-cli upload [OPTION]... {--host HOST | --usb} FILE\n"))
        << upload.out;
    EXPECT_NE(upload.out.find("--verify"), std::string::npos);
    EXPECT_NE(upload.out.find("--settings=FILE"), std::string::npos);
    EXPECT_EQ(upload.out.find("--model"), std::string::npos);
    EXPECT_NE(upload.out.find("130  stopped by Ctrl-C (the fax is released first)"),
              std::string::npos);
    // Help wins over a command line that is otherwise incomplete, in either order.
    EXPECT_EQ(Cli({"--help", "upload"}).out, upload.out);

    const auto check = Cli({"check", "-h"});
    EXPECT_NE(check.out.find("\n  1  errors found\n"), std::string::npos) << check.out;
    EXPECT_EQ(check.out.find("--host"), std::string::npos);
}

TEST_F(CommandLine, UsageErrorsExitWithTwoAndSayWhyOnStandardError) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"check", "-x", kSample}, "unknown option: -x"},
        {{"frob"}, "unknown command: frob"},
        {{},
         "missing command (one of: check, export, test, download, upload, restore, diff, import, "
         "sync)"},
        {{"check", kSample, "--model"}, "option --model needs a value"},
        {{"check", "--host", "127.0.0.1", kSample}, "option --host does not apply to check"},
        {{"check", kSample, kSample}, "unexpected argument: " + kSample},
        {{"export", kSample}, "export needs --output"},
        {{"diff", "--host", "127.0.0.1", "--host", "127.0.0.2", kSample},
         "diff reads one MFP: give --host once"},
        {{"upload", "--verify=yes", "--host", "127.0.0.1", kSample},
         "unknown option: --verify=yes"},
        {{"test", "--usb", "--host", "127.0.0.1"}, "test takes --host or --usb, not both"},
        {{"download", "-o", "-"}, "download needs --host or --usb"},
        {{"test", "--printer", "Front desk", "--host", "127.0.0.1"}, "--printer needs --usb"},
        // An abbreviated credential option would take a password for a file name and echo it.
        {{"import", "a.vcf", "-o", "a.csv", "--user", "fax", "--password", "Secret-77"},
         "unknown option: --password (--password-file is written in full)"},
        {{"sync", "a.vcf", "--host", "127.0.0.1", "--user", "fax", "--pass=Secret-77"},
         "unknown option: --pass (--password-file is written in full)"},
    };
    for (const Case& c : cases) {
        const auto run = Cli(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_EQ(run.out, "") << c.message;
        EXPECT_TRUE(run.err.starts_with("dialvane-cli: " + c.message + "\nTry 'dialvane-cli"))
            << run.err;
    }
    // Once the command is known the hint points at its help.
    EXPECT_EQ(Cli({"check"}).err,
              "dialvane-cli: check needs FILE\n"
              "Try 'dialvane-cli check --help' for more information.\n");
}

TEST_F(CommandLine, OptionsGoAnywhereAndDoubleDashEndsThem) {
    EXPECT_EQ(Cli({"check", kSample, "--model=DX-R7700"}).status, 0);
    EXPECT_EQ(Cli({"--model", "DX-R7700", "check", kSample}).status, 0);
    // After "--" an option name is a file name.
    const auto dashed = Cli({"check", "--", "--model"});
    EXPECT_EQ(dashed.status, 2);
    EXPECT_NE(dashed.err.find("(--model)"), std::string::npos) << dashed.err;
}

}  // namespace
}  // namespace dialvane
