#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/FileUtil.h"
#include "support/RunCli.h"

namespace dialvane {
namespace {

const std::string kContacts = std::string(DIALVANE_SOURCE_DIR) + "/tests/data/contacts/";
constexpr const char* kBerlinSettings =
    "[Dialling]\nCOUNTRY_CODE=49\nOUTSIDE_LINE=0-\n"
    "[DX-R7700]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n";

class ImportTest : public ::testing::Test {
  protected:
    testing::CliRun Import(const std::string& source, std::vector<std::string> more = {}) {
        std::vector<std::string> args{"--settings", settings_, "import", source, "-o", Out()};
        args.insert(args.end(), more.begin(), more.end());
        return testing::RunCli(dir_, args);
    }
    std::string Out() const { return dir_.File("out.csv"); }
    std::string Card(const std::string& name, const std::string& fax) const {
        return "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + name + "\r\nTEL;TYPE=FAX:" + fax +
               "\r\nEND:VCARD\r\n";
    }
    testing::TempDir dir_;
    std::string settings_ = dir_.Write("dialvane.ini", kBerlinSettings);
};

TEST_F(ImportTest, EachSampleExportGivesItsUserFile) {
    struct Case {
        const char* sample;
        const char* expected;
        const char* summary;
    } cases[] = {
        {"outlook-2.1.vcf", "outlook-2.1.expected.csv",
         "Contacts without a fax number, skipped: 1."},
        {"apple-3.0.vcf", "apple-3.0.expected.csv", nullptr},
        {"nextcloud-4.0.vcf", "nextcloud-4.0.expected.csv",
         "Skipped 山田太郎: the name holds characters the dial list's code page cannot hold"},
        {"thunderbird.ldif", "thunderbird.expected.csv", nullptr},
        {"outlook.csv", "outlook.expected.csv", nullptr},
        {"google.csv", "google.expected.csv", nullptr},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(Out());
        const testing::CliRun run = Import(kContacts + c.sample);
        ASSERT_EQ(run.status, 0) << c.sample << ": " << run.err;
        EXPECT_EQ(ReadFileBytes(Out()), ReadFileBytes(kContacts + c.expected)) << c.sample;
        if (c.summary != nullptr) {
            EXPECT_NE(run.err.find(c.summary), std::string::npos) << c.sample << ": " << run.err;
        }
        EXPECT_EQ(testing::RunCli(dir_, {"--settings", settings_, "check", Out()}).status, 0)
            << c.sample;
    }
}

TEST_F(ImportTest, WritesNothingWhenTheImportCannotWork) {
    std::string many;
    for (int i = 0; i < 201; ++i) {
        many += Card("P" + std::to_string(i), "030 " + std::to_string(100000 + i));
    }
    const std::string noCountry = dir_.Write("plain.ini", "[Other]\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* message;
    } cases[] = {
        {{"--settings", settings_, "import", dir_.Write("many.vcf", many)}, 1, "1 too many"},
        {{"--settings", noCountry, "import", kContacts + "apple-3.0.vcf"}, 2, "COUNTRY_CODE"},
        {{"--settings", settings_, "import", dir_.Write("book.txt", "x")},
         2,
         ".vcf, .ldif or .csv"},
        {{"--settings", settings_, "import", kContacts + "google.csv", "--map", "fax=Telefax"},
         2,
         "Telefax"},
    };
    for (Case& c : cases) {
        c.args.insert(c.args.end(), {"-o", Out()});
        const testing::CliRun run = testing::RunCli(dir_, c.args);
        EXPECT_EQ(run.status, c.status) << c.message << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(Out())) << c.message;
    }
}

TEST_F(ImportTest, MergeKeepsEveryKeyAndGivesTheNewContactTheLowestFreeOne) {
    const std::string book = Card("Berg", "030 1") + Card("Cole", "030 2") + Card("Dahl", "030 3");
    ASSERT_EQ(Import(dir_.Write("a.vcf", book)).status, 0);
    const std::string first = dir_.Write("first.csv", ReadFileBytes(Out()).value_or(""));
    // Cole leaves, Aaron (sorting first) arrives.
    const testing::CliRun run = Import(
        dir_.Write("b.vcf", Card("Aaron", "030 4") + Card("Berg", "030 1") + Card("Dahl", "030 3")),
        {"--merge", first});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(Out()),
              "S001,Berg,0-0301,\r\nS002,Aaron,0-0304,\r\nS003,Dahl,0-0303,\r\nN,\r\n");
}

}  // namespace
}  // namespace dialvane
