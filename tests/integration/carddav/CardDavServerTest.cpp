// The client against a real CardDAV server (Debian's radicale) and against a canned server that
// answers what no honest server would.
#include <gtest/gtest.h>

#include <algorithm>

#include "CannedHttpServer.h"
#include "contacts/CardDavClient.h"
#include "support/LoopbackAddress.h"
#include "support/RadicaleServer.h"

namespace dialvane {
namespace {

using testing::CannedHttpServer;
using testing::LoopbackAddress;
using testing::RadicaleServer;

constexpr const char* kUser = "office";
constexpr const char* kPassword = "Fax-Secret-7319";

std::string VCard(const std::string& uid, const std::string& name, const std::string& tels) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + name + "\r\nN:" + name +
           ";;;;\r\n" + tels + "END:VCARD\r\n";
}

std::vector<std::string> Names(const std::vector<std::string>& vcards) {
    std::vector<std::string> names;
    for (const std::string& card : vcards) {
        const std::size_t fn = card.find("\nFN:") + 4;
        names.push_back(card.substr(fn, card.find_first_of("\r\n", fn) - fn));
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CardDavServer, ServesItsFiveContactsFromTheBookOrThePrincipal) {
    testing::ClearProxyVariables();
    const RadicaleServer server(LoopbackAddress(230), kUser, kPassword);
    ASSERT_EQ(server.Problem(), "");
    const std::string login = std::string(kUser) + ":" + kPassword;
    ASSERT_EQ(server.MakeAddressBook("/office/contacts/", login), 201);
    const std::vector<std::string> cards{
        VCard("c1", "Anna Berger", "TEL;TYPE=WORK,FAX:+49 30 1234567\r\n"),
        VCard("c2", "Bruno Costa", "TEL;TYPE=FAX:030 7654321\r\nTEL;TYPE=CELL:0170 1111\r\n"),
        VCard("c3", "Chen Wei", "TEL;TYPE=WORK,VOICE:030 222\r\n"),
        VCard("c4", "Dora Ek", "TEL;TYPE=FAX:+46 8 123 45\r\nTEL;TYPE=HOME,FAX:+46 8 999\r\n"),
        VCard("c5", "\xC3\x89mile Faure", "item1.TEL;TYPE=FAX:+33 1 42 68 53 00\r\n"),
    };
    for (const std::string& card : cards) {
        const std::size_t uid = card.find("UID:") + 4;
        ASSERT_EQ(server.Send("PUT", "/office/contacts/" + card.substr(uid, 2) + ".vcf", login,
                              "text/vcard; charset=utf-8", card),
                  201);
    }
    const std::vector<std::string> everyone{"Anna Berger", "Bruno Costa", "Chen Wei", "Dora Ek",
                                            "\xC3\x89mile Faure"};
    // The address book itself, and the user's principal, found through PROPFIND. A wrong
    // password is refused in CliCardDav and Sync.
    for (const char* path : {"/office/contacts/", "/office/"}) {
        SCOPED_TRACE(path);
        const CardDavFetch fetch = FetchCardDav({server.Base() + path, kUser, kPassword, ""});
        EXPECT_TRUE(fetch.ok) << fetch.error;
        EXPECT_EQ(Names(fetch.vcards), everyone);
    }
}

TEST(CardDavServer, UntrustedAnswersAndRedirectsAreRefused) {
    testing::ClearProxyVariables();
    const std::string address = LoopbackAddress(231);
    const std::string multistatus = "HTTP/1.1 207 Multi-Status\r\nConnection: close\r\n";
    // Where a hostile server sends the client; it must never be contacted with the password.
    const CannedHttpServer elsewhere(LoopbackAddress(232), multistatus + "\r\n");
    struct Case {
        const char* what;
        std::string answer;
        bool endless;
        const char* error;
    };
    const Case cases[] = {
        {"an answer without end", multistatus + "\r\n<", true, "larger than 1 MB"},
        {"an answer announced too large", multistatus + "Content-Length: 2000000\r\n\r\n<", false,
         "larger than 1 MB"},
        {"garbled XML", multistatus + "\r\n<multistatus xmlns=\"DAV:\"><response>", false,
         "cannot be read"},
        {"no multistatus", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n<html/>", false,
         "\"200 OK\""},
        {"a redirect to another server",
         "HTTP/1.1 307 Temporary Redirect\r\nLocation: " + elsewhere.Url() +
             "\r\nConnection: close\r\n\r\n",
         false, "another server"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CannedHttpServer server(address, c.answer, c.endless);
        CardDavLimits limits;
        limits.maxAnswerBytes = 1024 * 1024;
        limits.transferTimeoutSeconds = 20;  // a missed limit fails instead of hanging
        const CardDavFetch fetch = FetchCardDav({server.Url(), kUser, kPassword, ""}, limits);
        EXPECT_FALSE(fetch.ok);
        EXPECT_NE(fetch.error.find(c.error), std::string::npos) << fetch.error;
        EXPECT_EQ(server.Connections(), 1);
    }
    EXPECT_EQ(elsewhere.Connections(), 0);

    // Credentials written into the address are refused before anything is sent.
    const CannedHttpServer server(address, multistatus + "\r\n");
    const std::string withCredentials = "http://office:pw@" + server.Url().substr(7);
    EXPECT_FALSE(FetchCardDav({withCredentials, "", "", ""}).ok);
    EXPECT_EQ(server.Connections(), 0);
}

}  // namespace
}  // namespace dialvane
