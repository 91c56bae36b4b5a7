// What the client decides before and after the network: which sources it refuses, which password
// files it takes, and what it makes of a hostile answer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "contacts/CardDavClient.h"
#include "contacts/CardDavXml.h"
#include "contacts/PasswordSource.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

TEST(CardDavRules, PasswordsTravelOnlyEncryptedOrToThisComputer) {
    struct Case {
        const char* url;
        const char* user;
        const char* refusal;  // part of the refusal; "" when the source may be contacted
    };
    const Case cases[] = {
        {"https://dav.example.com/office/book/", "office", ""},
        {"http://dav.example.com/office/book/", "", ""},
        {"http://dav.example.com/office/book/", "office", "plain http"},
        {"HTTP://127.0.0.1.example.com/book/", "office", "plain http"},
        {"http://127.31.0.7:5232/book/", "office", ""},
        {"http://[::1]:5232/book/", "office", ""},
        {"http://office:pw@127.0.0.1/book/", "", "user name or password"},
        {"https://office@dav.example.com/book/", "office", "user name or password"},
        {"ftp://dav.example.com/book/", "", "not an http"},
        {"dav.example.com/book/", "", "not an http"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        const std::string refusal = CardDavRefusal({c.url, c.user, "pw", ""});
        EXPECT_EQ(refusal.empty(), *c.refusal == '\0') << refusal;
        EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
        EXPECT_EQ(refusal.find("pw@"), std::string::npos) << refusal;
    }
    EXPECT_EQ(UrlForLog("https://office:pw@dav.example.com/a@b"), "https://dav.example.com/a@b");
}

TEST(CardDavRules, APasswordFileOthersCanReadIsRefused) {
    const testing::TempDir dir;
    const std::string file = dir.Write("password", "Fax-Secret\r\nsecond line\n");
    for (const mode_t mode : {0600, 0400, 0640, 0604}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(::chmod(file.c_str(), mode), 0);
        std::string error;
        const std::optional<std::string> password = ReadPasswordFile(file, &error);
        if ((mode & 044) == 0) {
            EXPECT_EQ(password, "Fax-Secret");
        } else {
            EXPECT_EQ(password, std::nullopt);
            EXPECT_NE(error.find("can be read by other users"), std::string::npos) << error;
        }
    }
}

TEST(CardDavRules, AnswersNeverExpandEntitiesOrLoadFiles) {
    const testing::TempDir dir;
    const std::string secret = dir.Write("secret", "TOP-SECRET-LINE");
    const std::string head = "<?xml version=\"1.0\"?>\n<!DOCTYPE m [\n";
    const std::string body =
        "]>\n<m:multistatus xmlns:m=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
        "<m:response><m:href>/b/1.vcf</m:href>"
        "<m:propstat><m:prop><c:address-data>BEGIN:VCARD&x;</c:address-data></m:prop>"
        "<m:status>HTTP/1.1 200 OK</m:status></m:propstat>"
        "<m:propstat><m:prop><m:getetag>\"gone\"</m:getetag></m:prop>"
        "<m:status>HTTP/1.1 404 Not Found</m:status></m:propstat></m:response></m:multistatus>";
    // Ten levels of ten references each: a billion "lol"s if anything expanded them.
    std::string laughs = "<!ENTITY l0 \"lol\">";
    for (int level = 1; level < 10; ++level) {
        std::string refs;
        for (int k = 0; k < 10; ++k) {
            refs += "&l" + std::to_string(level - 1) + ";";
        }
        laughs += "<!ENTITY l" + std::to_string(level) + " \"" + refs + "\">";
    }
    struct Case {
        std::string declaration;
        bool refused;
    };
    const Case cases[] = {
        {"<!ENTITY x SYSTEM \"file://" + secret + "\">", false},
        {laughs + "<!ENTITY x \"&l9;\">", true},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto responses = ParseMultistatus(head + c.declaration + body, &error);
        if (c.refused) {
            EXPECT_EQ(responses, std::nullopt);
            EXPECT_NE(error.find("not well-formed"), std::string::npos) << error;
            continue;
        }
        ASSERT_TRUE(responses) << error;
        ASSERT_EQ(responses->size(), 1u);
        EXPECT_EQ((*responses)[0].addressData, "BEGIN:VCARD");
        EXPECT_EQ((*responses)[0].etag, "");  // found only under a failed status
    }
}

}  // namespace
}  // namespace dialvane
