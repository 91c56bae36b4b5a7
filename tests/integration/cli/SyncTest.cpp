// dialvane-cli sync: an address book served by Debian's radicale, put on several emulated MFPs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/Messages.h"
#include "support/RadicaleServer.h"
#include "support/ServedMfp.h"

namespace dialvane {
namespace {

constexpr const char* kPassword = "Fax-Secret-5521";

class Sync : public testing::CliAgainstMfp {
  protected:
    Sync() : server_(testing::LoopbackAddress(194), "office", kPassword) {
        testing::ClearProxyVariables();
        WriteSettings("[Dialling]\nCOUNTRY_CODE=49\n");
    }

    // SOURCE and its credentials (the password in a file only its owner reads), then `more`.
    testing::CliRun Run(std::vector<std::string> more, const char* password = kPassword) {
        const std::string file = dir_.Write("password", password);
        EXPECT_EQ(::chmod(file.c_str(), 0600), 0);
        more.insert(more.begin() + 1,
                    {server_.Base() + "/office/fax/", "--user", "office", "--password-file", file});
        return Cli(more);
    }
    testing::CliRun RunSync(std::vector<std::string> more, const char* password = kPassword) {
        more.insert(more.begin(), "sync");
        for (const auto& device : devices_) {
            more.insert(more.end(), {"--host", device->Address()});
        }
        return Run(more, password);
    }
    // The summary row of MFP `i` (all addresses are as long, so the columns line up alike).
    std::string Row(std::size_t i, const std::string& result) const {
        return Mfp(i).Address() + "  DX-R7700  " + result;
    }

    testing::RadicaleServer server_;
};

TEST_F(Sync, OnlyTheMfpsThatDifferGetTheAddressBookAndEachEndsHoldingIt) {
    ASSERT_EQ(server_.Problem(), "");
    const std::string login = std::string("office:") + kPassword;
    ASSERT_EQ(server_.MakeAddressBook("/office/fax/", login), 201);
    // An empty address book never empties the MFPs.
    Serve(190, "");
    const testing::CliRun empty = RunSync({});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find(Text(Msg::SyncNoFaxNumbers)), std::string::npos) << empty.err;
    EXPECT_EQ(Mfp(0)->Counters().connections, 0);
    for (const std::string card :
         {"Anna Berger\r\nTEL;TYPE=FAX:+49 30 1234567\r\nCATEGORIES:Suppliers",
          "Bruno Costa\r\nTEL;TYPE=FAX:030 7654321\r\nCATEGORIES:Suppliers",
          "Clara Dietz\r\nTEL;TYPE=FAX:+1 212 555 0100", "David Engel\r\nTEL;TYPE=FAX:089 111222",
          "Eva Fischer\r\nTEL;TYPE=FAX:0331 555780"}) {
        ASSERT_EQ(
            server_.Send("PUT", "/office/fax/" + card.substr(0, 3) + ".vcf", login, "text/vcard",
                         "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + card.substr(0, 3) +
                             "\r\nFN:" + card + "\r\nEND:VCARD\r\n"),
            201);
    }
    // What the address book makes of an empty list: one MFP holds exactly that already.
    const testing::CliRun imported = Run({"import", "-o", Path("book.csv")});
    ASSERT_EQ(imported.status, 0) << imported.err;
    // An older state: Bruno under a key of its own with a keyword, a contact that has left, a
    // sender name.
    Serve(191, "S10,Bruno Costa,0307654321,BC\r\nS2,Gone,0111,\r\nN,Head Office\r\n");
    Serve(193, dir_.Read("book.csv"));
    const std::string unchanged = Text(Msg::TransferUnchangedResult);

    const testing::CliRun preview = RunSync({"--dry-run"});
    EXPECT_EQ(preview.status, 1) << preview.err;
    EXPECT_NE(preview.out.find(Row(2, unchanged)), std::string::npos) << preview.out;
    for (const auto& device : devices_) {
        EXPECT_TRUE((*device)->Counters().registrations.empty()) << device->Address();
    }

    const int connections = Mfp(2)->Counters().connections;
    const testing::CliRun run = RunSync({"--jobs", "3"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Mfp(2)->Counters().registrations.empty());
    EXPECT_TRUE(Mfp(2)->Counters().cancellations.empty());
    EXPECT_EQ(Mfp(2)->Counters().connections - connections, 2);  // the inquiry and the read
    EXPECT_NE(run.out.find(Row(2, unchanged)), std::string::npos) << run.out;
    for (std::size_t changed : {0u, 1u}) {
        EXPECT_NE(run.out.find(Row(changed, Text(Msg::VerifySummary, 5u, 1u, 0u))),
                  std::string::npos)
            << run.out;
    }
    EXPECT_EQ(Mfp(0).Dump(), Mfp(2).Dump());
    const std::string kept = Mfp(1).Dump();
    EXPECT_NE(kept.find("S10,Bruno Costa,0307654321,BC\r\n"), std::string::npos) << kept;
    EXPECT_EQ(kept.find("Gone"), std::string::npos) << kept;
    EXPECT_NE(kept.find("N,Head Office"), std::string::npos) << kept;

    // A refused password stops the sync before any MFP is contacted.
    const testing::CliRun refused = RunSync({}, "Guess-4242");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("401 Unauthorized"), std::string::npos) << refused.err;
    EXPECT_EQ(Mfp(2)->Counters().connections - connections, 2);
}

}  // namespace
}  // namespace dialvane
