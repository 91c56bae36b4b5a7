#include <gtest/gtest.h>

#include "contacts/DiallingRules.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

TEST(DiallingRules, MakesNumbersDialableFromTheOffice) {
    const DiallingSettings berlin{"49", "0", "00", "0-"};
    const DiallingSettings plain{"49", "0", "00", ""};
    struct Case {
        const char* found;
        DiallingSettings settings;
        DialStatus status;
        const char* dialled;
    };
    const Case cases[] = {
        {"+49 (30) 123-4567", berlin, DialStatus::Ok, "0-0301234567"},
        {"+1 212 555 0100", berlin, DialStatus::Ok, "0-0012125550100"},
        {"030 1234567", berlin, DialStatus::Ok, "0-0301234567"},
        {"+44 (0)20 7946 0018", plain, DialStatus::Ok, "00442079460018"},
        {"0049 30/123.45 67", plain, DialStatus::Ok, "0301234567"},
        {"+49 (0) 30 1234567", plain, DialStatus::Ok, "0301234567"},
        {"+353 1 555 0142", plain, DialStatus::Ok, "0035315550142"},
        {"*31#030 123", plain, DialStatus::Ok, "*31#030123"},
        {"011 44 20 1", DiallingSettings{"1", "1", "011", ""}, DialStatus::Ok, "01144201"},
        {"030 1234567 ext. 12", plain, DialStatus::NotDialable, ""},
        {"+49-30-1234568;ext=12", plain, DialStatus::NotDialable, ""},
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

TEST(DiallingRules, CountryCodesAreTheLongestAssignedPrefix) {
    EXPECT_EQ(CountryCodeLength("12125550100"), 1u);
    EXPECT_EQ(CountryCodeLength("4930"), 2u);
    EXPECT_EQ(CountryCodeLength("3531555"), 3u);
    EXPECT_EQ(CountryCodeLength("8001234"), 3u);  // a global service code
    EXPECT_EQ(CountryCodeLength("999"), 0u);
}

TEST(DiallingRules, ReadsTheSectionWithItsDefaults) {
    testing::TempDir dir;
    const DiallingSettings defaults = ReadDiallingSettings(dir.Write("a.ini", "[Other]\n"));
    EXPECT_EQ(defaults.countryCode, "");
    EXPECT_EQ(defaults.nationalPrefix, "0");
    EXPECT_EQ(defaults.internationalPrefix, "00");
    EXPECT_EQ(defaults.outsideLine, "");
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
