// Every dialvane-cli and mfp-emulator line of README.md and CONTRIBUTING.md runs as documented,
// each against an emulated MFP on a loopback address of its own, so an option the documents
// name cannot vanish unnoticed: the program would refuse it as a usage error.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>

#include "support/FileUtil.h"
#include "support/ServedMfp.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

// The documented commands not run, by a piece of their text, with the reason.
const std::pair<const char*, const char*> kLeftOut[] = {
    {"mfp1.office.lan", "names a host outside loopback"},
    {"10.0.0.", "names a host outside loopback"},
    {"fuzz", "fuzzes"},
    {"--install", "installs"},
    {"cpack", "builds a package"},
    {"run-demo", "opens the window"},
    {"scripts/setup", "installs packages"},
    {"sudo ", "changes the system's groups"},
    {"scripts/tidy", "runs clang-tidy over the code"},
    {"clang-format", "formats source files"},
    {"ctest", "runs this very suite"},
    {"cmake", "builds"},
    {"bash scripts/", "builds"},  // the whole suite, or the screenshot renderer
};

bool OnPath(const std::string& word) {
    std::istringstream folders(std::getenv("PATH"));
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (access((folder + "/" + word).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

// The documented programs anywhere in the line, or a program on the PATH after any
// environment settings.
bool IsCommand(const std::string& line) {
    if (line.find("dialvane-cli ") != std::string::npos ||
        line.find("mfp-emulator ") != std::string::npos) {
        return true;
    }
    std::istringstream words(line);
    std::string word;
    while (words >> word && word.find('=') != std::string::npos) {
    }
    return line.find(' ') != std::string::npos && !word.empty() && OnPath(word);
}

// The command lines of the fenced code blocks (true) and of the `code` spans of the prose.
std::vector<std::pair<std::string, bool>> CommandsOf(const std::string& document) {
    std::vector<std::pair<std::string, bool>> found;
    bool fenced = false;
    const std::regex span("`([^`]+)`");
    for (std::string line : SplitLines(ReadFileBytes(document).value_or(""))) {
        line.erase(0, line.find_first_not_of(' '));
        fenced = line.starts_with("```") ? !fenced : fenced;
        if (fenced && IsCommand(line)) {
            found.emplace_back(line, true);
        }
        for (std::sregex_iterator it(line.begin(), line.end(), span), end; !fenced && it != end;
             ++it) {
            if (IsCommand((*it)[1])) {
                found.emplace_back((*it)[1], false);
            }
        }
    }
    return found;
}

class DocumentedCommands : public ::testing::Test {
  protected:
    DocumentedCommands() {
        for (const char* folder : {"bin", "samples", "lists"}) {
            std::filesystem::create_directories(dir_.File(folder));
        }
        symlink(DIALVANE_BINARY_DIR "/apps/dialvane-cli/dialvane-cli",
                dir_.File("bin/dialvane-cli").c_str());
        symlink(DIALVANE_BINARY_DIR "/tools/mfp-emulator/mfp-emulator",
                dir_.File("bin/mfp-emulator").c_str());
        if (!OnPath("less")) {  // a minimal system: what less does when not on a terminal
            symlink("/bin/cat", dir_.File("bin/less").c_str());
        }
        for (const char* name : {"samples/sample-dial-list.csv", "list.csv", "names.csv"}) {
            std::filesystem::copy_file(DIALVANE_SOURCE_DIR "/samples/sample-dial-list.csv",
                                       dir_.File(name));
        }
        std::filesystem::copy_file(DIALVANE_SOURCE_DIR "/samples/contacts.vcf",
                                   dir_.File("samples/contacts.vcf"));
    }

    // A line of a code block as a user types it; 127.0.0.1 and the address file name an
    // emulated MFP of the line's own.
    testing::CliRun RunLine(std::string line, int host) {
        std::unique_ptr<testing::ServedMfp> mfp;
        if (line.find("127.0.0.1") != std::string::npos ||
            line.find("mfps.txt") != std::string::npos) {
            mfp = std::make_unique<testing::ServedMfp>(dir_, host, dir_.Read("list.csv"));
            line = std::regex_replace(line, std::regex("127\\.0\\.0\\.1"), mfp->Address());
            dir_.Write("mfps.txt", mfp->Address() + "\n");
        }
        return Run({"/bin/bash", "-o", "pipefail", "-c", line});
    }

    // A `code` span, often an outline: placeholders filled in, optional parts given, every
    // alternative of a|b run, and --help added so that nothing is contacted.
    std::vector<testing::CliRun> RunSpan(const std::string& span) {
        const std::map<std::string, std::string> placeholders = {
            {"IP", "127.0.0.1"}, {"FILE", "list.csv"},   {"LINK", dir_.File("lp0")},
            {"TEXT", "MFG:X;"},  {"NAME", "Front desk"}, {"COMMAND", "check"}};
        std::vector<std::vector<std::string>> lines(1);
        std::istringstream words(std::regex_replace(span, std::regex("[\\[\\]]"), ""));
        for (std::string word; words >> word;) {
            std::vector<std::vector<std::string>> grown;
            std::istringstream choices(placeholders.contains(word) ? placeholders.at(word) : word);
            for (std::string choice; std::getline(choices, choice, '|');) {
                for (std::vector<std::string> line : lines) {
                    line.push_back(choice);
                    grown.push_back(line);
                }
            }
            lines = grown;
        }
        std::vector<testing::CliRun> runs;
        for (std::vector<std::string> line : lines) {
            line[0] = dir_.File("bin/" + line[0]);
            line.push_back("--help");
            runs.push_back(Run(line));
        }
        return runs;
    }

    // In the test's folder, with settings and data folders of its own.
    testing::CliRun Run(const std::vector<std::string>& argv) const {
        return testing::RunProgram(
            dir_, argv,
            {"PATH=" + dir_.File("bin") + ":" + std::getenv("PATH"), "HOME=" + dir_.Path(),
             "XDG_CONFIG_HOME=" + dir_.File("config"), "XDG_DATA_HOME=" + dir_.File("data")},
            {}, dir_.Path());
    }

    testing::TempDir dir_;
};

TEST_F(DocumentedCommands, EveryCommandLineOfTheReadmeAndTheContributorGuideRuns) {
    int host = 240;  // up to 249
    int run = 0;
    for (const std::string document : {"README.md", "CONTRIBUTING.md"}) {
        for (const auto& [line, fenced] : CommandsOf(DIALVANE_SOURCE_DIR "/" + document)) {
            SCOPED_TRACE(document + ": " + line);
            const auto* leftOut = std::find_if(std::begin(kLeftOut), std::end(kLeftOut),
                                               [&text = line](const auto& row) {
                                                   return text.find(row.first) != std::string::npos;
                                               });
            if (leftOut != std::end(kLeftOut)) {
                std::cout << "left out, " << leftOut->second << ": " << line << "\n";
                continue;
            }
            ++run;
            const std::vector<testing::CliRun> results =
                fenced ? std::vector{RunLine(line, host++)} : RunSpan(line);
            for (const testing::CliRun& result : results) {
                EXPECT_EQ(result.status, 0) << result.err;
                EXPECT_TRUE(fenced || !result.out.empty());  // the help page
            }
        }
    }
    EXPECT_GE(run, 10);  // the documents were found and read
    EXPECT_LE(host, 250);
}

}  // namespace
}  // namespace dialvane
