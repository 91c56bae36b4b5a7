// dialvane-cli import from a CardDAV address book served by Debian's radicale.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/LoopbackAddress.h"
#include "support/RadicaleServer.h"
#include "support/RunCli.h"

namespace dialvane {
namespace {

constexpr const char* kPassword = "Fax-Secret-7319";
constexpr const char* kWrongPassword = "Guess-4242";

TEST(CliCardDav, ImportTakesThePasswordOnlyFromAPrivateFileAndNeverShowsIt) {
    testing::ClearProxyVariables();
    const testing::RadicaleServer server(testing::LoopbackAddress(233), "office", kPassword);
    ASSERT_EQ(server.Problem(), "");
    const std::string login = std::string("office:") + kPassword;
    ASSERT_EQ(server.MakeAddressBook("/office/fax/", login), 201);
    ASSERT_EQ(server.Send("PUT", "/office/fax/a.vcf", login, "text/vcard",
                          "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Anna Berger\r\n"
                          "TEL;TYPE=WORK,FAX:+49 30 1234567\r\nEND:VCARD\r\n"),
              201);

    const testing::TempDir dir;
    // Every log category on, so that whatever the client logs is there to be searched.
    const std::string settings =
        dir.Write("dialvane.ini", "[LOG_LEVEL]\nDEFAULT=1\n[Dialling]\nCOUNTRY_CODE=49\n");
    const std::string url = server.Base() + "/office/fax/";
    struct Case {
        const char* what;
        std::vector<std::string> credentials;
        const char* fileText;
        mode_t mode;
        int status;
        const char* message;  // part of standard error
    };
    const Case cases[] = {
        {"the right password", {"--password-file"}, kPassword, 0600, 0, ""},
        {"a wrong password", {"--password-file"}, kWrongPassword, 0600, 1, "401 Unauthorized"},
        {"a file others can read",
         {"--password-file"},
         kPassword,
         0644,
         2,
         "can be read by other users"},
        // Never taken as an abbreviation of --password-file, whose error would echo it.
        {"a password on the command line",
         {"--password", kPassword},
         "",
         0600,
         2,
         "--password-file is written in full"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = dir.Write("password", c.fileText);
        ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
        std::vector<std::string> args{"--settings",        settings, "import", url, "-o",
                                      dir.File("out.csv"), "--user", "office"};
        args.insert(args.end(), c.credentials.begin(), c.credentials.end());
        if (c.credentials.size() == 1) {
            args.push_back(file);
        }
        const testing::CliRun run = testing::RunCli(dir, args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(kPassword), std::string::npos) << run.err;
        const std::string log = dir.Read("data/ZEVIZ_LOG.txt");
        for (const char* secret : {kPassword, kWrongPassword}) {
            EXPECT_EQ(log.find(secret), std::string::npos) << log;
        }
        if (c.status != 2) {
            EXPECT_NE(log.find(url), std::string::npos) << log;
        }
    }
    EXPECT_NE(dir.Read("out.csv").find("Anna Berger,0301234567"), std::string::npos);
}

}  // namespace
}  // namespace dialvane
