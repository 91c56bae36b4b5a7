#include <gtest/gtest.h>

#include "contacts/ContactText.h"
#include "contacts/ContactsCsvReader.h"
#include "contacts/LdifReader.h"
#include "contacts/VCardReader.h"

namespace dialvane {
namespace {

struct ReaderCase {
    const char* what;
    std::string text;
    std::string name;
    std::vector<std::string> fax;
    std::vector<std::string> categories = {};
};

void ExpectOneContact(const ReaderCase& c, const std::vector<Contact>& contacts) {
    ASSERT_EQ(contacts.size(), 1u) << c.what;
    EXPECT_EQ(contacts[0].name, c.name) << c.what;
    EXPECT_EQ(contacts[0].faxNumbers, c.fax) << c.what;
    EXPECT_EQ(contacts[0].categories, c.categories) << c.what;
}

std::string Card(const std::string& version, const std::string& body) {
    return "BEGIN:VCARD\r\nVERSION:" + version + "\r\n" + body + "END:VCARD\r\n";
}

// The forms the sample exports hold are read through the command line's import of them.
TEST(VCardReader, FindsFaxNumbersAndNamesInEveryVersion) {
    const ReaderCase cases[] = {
        {"repeated TYPE", Card("3.0", "FN:A\r\nTEL;type=work;type=fax:1\r\n"), "A", {"1"}},
        {"folded line",
         Card("3.0", "FN:Anna\r\n  Berg\r\nTEL;TYPE=FAX:0\r\n\t30\r\n"),
         "Anna Berg",
         {"030"}},
        {"escapes and categories",
         Card("3.0", "FN:Berg\\, Anna\r\nCATEGORIES:A\\,B,C\r\n"),
         "Berg, Anna",
         {},
         {"A,B", "C"}},
        {"ORG when no name", Card("3.0", "ORG:Berg AG;Sales\r\n"), "Berg AG", {}},
        {"2.1 bare QUOTED-PRINTABLE in Latin-1",
         Card("2.1", "FN;QUOTED-PRINTABLE;CHARSET=ISO-8859-1:M=FCller\r\n"),
         "Müller",
         {}},
        {"invalid UTF-8 replaced", Card("3.0", "FN:M\xFCller\r\n"), "M\uFFFDller", {}},
    };
    for (const ReaderCase& c : cases) {
        ExpectOneContact(c, ReadVCardText(c.text));
    }
}

TEST(VCardReader, ReadsOneContactPerCardAndIgnoresNestedCards) {
    const std::string text = Card("2.1",
                                  "FN:A\r\nAGENT:\r\nBEGIN:VCARD\r\nFN:Inner\r\nEND:VCARD\r\n"
                                  "TEL;FAX:1\r\n") +
                             "garbage\r\n" + Card("4.0", "FN:B\r\nUID:u-2\r\n");
    const std::vector<Contact> contacts = ReadVCardText(text);
    ASSERT_EQ(contacts.size(), 2u);
    EXPECT_EQ(contacts[0].name, "A");
    EXPECT_EQ(contacts[0].faxNumbers, std::vector<std::string>{"1"});
    EXPECT_EQ(contacts[1].uid, "u-2");
}

// Folded values, base64 names and group entries are read from the sample export.
TEST(LdifReader, NamesAnEntryWithoutCnByItsGivenNameAndSurname) {
    ExpectOneContact({"given name and surname", "", "Eva Berg", {"1"}},
                     ReadLdifText("version: 1\r\n\r\ndn: cn=x\r\ngivenName: Eva\r\nsn: Berg\r\n"
                                  "facsimileTelephoneNumber: 1\r\n"));
}

TEST(ContactsCsvReader, FindsColumnsByHeader) {
    const ReaderCase cases[] = {
        {"quoted fields",
         "Display Name,Fax\n\"Berg, \"\"Eva\"\"\n2nd line\",\"1\"\n",
         "Berg, \"Eva\"\n2nd line",
         {"1"}},
        {"Google",
         "Name,Group Membership,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,"
         "Phone 2 - Value\nEva,* myContacts ::: Suppliers,Work Fax,1 ::: 2,Work,3\n",
         "Eva",
         {"1", "2"},
         {"Suppliers"}},
        {"company last", "Company,First Name,Other Fax\nBerg AG,,1\n", "Berg AG", {"1"}},
    };
    for (const ReaderCase& c : cases) {
        ExpectOneContact(c, ReadContactsCsv(c.text).contacts);
    }
    const CsvContacts mapped = ReadContactsCsv(
        "Name,Full,Telefax,Labels\nx,Eva Berg,1,A ::: * starred\n",
        {{"name", "full"}, {"fax", "Telefax"}, {"group", "Labels"}, {"fax", "Missing"}});
    ExpectOneContact({"mapped", "", "Eva Berg", {"1"}, {"A"}}, mapped.contacts);
    EXPECT_EQ(mapped.missingHeaders, std::vector<std::string>{"Missing"});
}

TEST(ContactText, DecodesByteOrderMarksAndNamedEncodings) {
    EXPECT_EQ(SourceBytesToUtf8("\xEF\xBB\xBF"
                                "A\xC3\xBC"),
              "A\u00FC");
    EXPECT_EQ(SourceBytesToUtf8(std::string("\xFF\xFE"
                                            "A\0\xFC\0",
                                            6)),
              "A\u00FC");
    EXPECT_EQ(SourceBytesToUtf8(std::string("\xFE\xFF\0A\0\xFC", 6)), "A\u00FC");
    EXPECT_EQ(SourceBytesToUtf8("A\xFC", "CP1252"), "A\u00FC");
    EXPECT_EQ(SourceBytesToUtf8("A\xFC"), "A\uFFFD");
    EXPECT_EQ(SourceBytesToUtf8("A", "NO-SUCH-ENCODING"), std::nullopt);
    EXPECT_EQ(DecodeBase64Text("SsO8cmdlbg=="), "J\u00FCrgen");
    EXPECT_EQ(DecodeBase64Text("SsO8c=mdl"), std::nullopt);
}

}  // namespace
}  // namespace dialvane
