#include <gtest/gtest.h>

#include "contacts/DiallingRules.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

// The numbers of the sample exports, dialled from Berlin through an outside line, are pinned by
// the command line's import of them.
TEST(DiallingRules, MakesNumbersDialableFromTheOffice) {
    const DiallingSettings plain{"49", "0", "00", ""};
    struct Case {
        const char* found;
        DiallingSettings settings;
        DialStatus status;
        const char* dialled;
    };
    const Case cases[] = {
        {"+44 (0)20 7946 0018", plain, DialStatus::Ok, "00442079460018"},
        {"0049 30/123.45 67", plain, DialStatus::Ok, "0301234567"},
        {"+49 (0) 30 1234567", plain, DialStatus::Ok, "0301234567"},
        {"*31#030 123", plain, DialStatus::Ok, "*31#030123"},
        // A global service code is three digits long, like a country's.
        {"+800 1234 5678", plain, DialStatus::Ok, "0080012345678"},
        {"011 44 20 1", DiallingSettings{"1", "1", "011", ""}, DialStatus::Ok, "01144201"},
        {"030 1234567 ext. 12", plain, DialStatus::NotDialable, ""},
        {"0800 FLOWERS", plain, DialStatus::NotDialable, ""},
        {"+999 123", plain, DialStatus::UnknownCountryCode, ""},
        {"+49 30 1", DiallingSettings{"", "0", "00", ""}, DialStatus::NeedsCountryCode, ""},
        {"0049 30 1", DiallingSettings{"", "0", "00", ""}, DialStatus::NeedsCountryCode, ""},
        {"0049 30 1", DiallingSettings{"", "0", "", ""}, DialStatus::Ok, "0049301"},
        {" - / ", plain, DialStatus::Empty, ""},
    };
    for (const Case& c : cases) {
        const DialledNumber result = DialableNumber(c.found, c.settings);
        EXPECT_EQ(result.status, c.status) << c.found;
        EXPECT_EQ(result.number, c.dialled) << c.found;
    }
}

// The defaults are what the command line's imports dial with when the section leaves keys out.
TEST(DiallingRules, ReadsEveryKeyOfTheSection) {
    testing::TempDir dir;
    const DiallingSettings set =
        ReadDiallingSettings(dir.Write("b.ini",
                                       "[dialling]\nCOUNTRY_CODE=+1\nNATIONAL_PREFIX=1\n"
                                       "INTERNATIONAL_PREFIX=011\nOUTSIDE_LINE=9,\n"));
    EXPECT_EQ(set.countryCode, "1");
    EXPECT_EQ(set.nationalPrefix, "1");
    EXPECT_EQ(set.internationalPrefix, "011");
    EXPECT_EQ(set.outsideLine, "9,");
}

}  // namespace
}  // namespace dialvane
