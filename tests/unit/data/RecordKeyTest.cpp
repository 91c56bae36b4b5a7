#include <gtest/gtest.h>

#include "data/RecordKey.h"

namespace dialvane {
namespace {

struct ParseCase {
    const char* text;
    bool ok;
    char letter;
    int number;
};

TEST(RecordKeyTest, ParsesKeysInEveryAcceptedSpelling) {
    const ParseCase cases[] = {
        // The plain spellings of every kind are read throughout the loader and gate tests.
        {" \tS005 \r\n", true, 'S', 5},
        {"S-5", true, 'S', -5},
        {"S", false, 'S', -1},
        {"SX", false, 'S', -1},
        {"S5X", false, 'S', -1},
        {"S-1", false, 'S', -1},
        {"S 5", false, 'S', -1},
        {"S--5", false, 'S', -1},
        {"S99999999999", false, 'S', -1},
        // Nothing but blanks: the outputs are left as they were.
        {"", false, '?', 42},
        {"   ", false, '?', 42},
        {"\x01\x20", false, '?', 42},
    };
    for (const ParseCase& c : cases) {
        char letter = '?';
        int number = 42;
        EXPECT_EQ(ParseRecordKey(c.text, letter, number), c.ok) << c.text;
        EXPECT_EQ(letter, c.letter) << c.text;
        EXPECT_EQ(number, c.number) << c.text;
    }
}

// The widths per kind show in the file, diff, loader and window texts the other tests pin.
TEST(RecordKeyTest, AFormattedKeyNeverGrowsPastItsWidth) {
    EXPECT_EQ(FormatRecordKey('S', 1234), "S234");
    EXPECT_EQ(FormatRecordKey('G', 123), "G23");
}

}  // namespace
}  // namespace dialvane
