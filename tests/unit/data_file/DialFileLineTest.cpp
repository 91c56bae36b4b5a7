#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "data/DialFileLine.h"

namespace dialvane {
namespace {

using Fields = std::vector<std::string>;

TEST(DialFileLine, SplitsBySeparatorsQuotesAndControlCharacters) {
    EXPECT_EQ(SplitDialLine(""), Fields{});
    EXPECT_EQ(SplitDialLine("S001,Office,03-555-123,"),
              (Fields{"S001", "Office", "03-555-123", ""}));
    EXPECT_EQ(SplitDialLine(",,"), (Fields{"", "", ""}));
    // Spaces belong to the field, never separate.
    EXPECT_EQ(SplitDialLine(" S1 , Head Office "), (Fields{" S1 ", " Head Office "}));
    EXPECT_EQ(SplitDialLine("\t\x01S1\tName,x"), (Fields{"S1", "Name", "x"}));
    EXPECT_EQ(SplitDialLine(R"(S3,"Smith, John","say ""hi""",)"),
              (Fields{"S3", "Smith, John", "say \"hi\"", ""}));
    EXPECT_EQ(SplitDialLine("S1,\"unterminated, rest"), (Fields{"S1", "unterminated, rest"}));
    EXPECT_EQ(SplitDialLine("a,<#Space#>b"), (Fields{"a", " b"}));
    // NUL ends an unquoted field like the other control characters instead of cutting the line.
    EXPECT_EQ(SplitDialLine(std::string("a\0b,c", 5)), (Fields{"a", "b", "c"}));
}

std::string RandomField(std::mt19937& random) {
    static const std::string alphabet = "ab ,\"\t\x01\x7f\xc3\xa9<#>Space";
    std::string field(random() % 8, ' ');
    for (char& c : field) {
        c = alphabet[random() % alphabet.size()];
    }
    return field;
}

TEST(DialFileLine, RandomFieldsSurviveJoinAndSplit) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 5000; ++round) {
        Fields fields(2 + random() % 6);
        for (std::string& field : fields) {
            field = RandomField(random);
        }
        if (std::any_of(fields.begin(), fields.end(), [](const std::string& f) {
                return f.find(kSpaceToken) != std::string::npos;
            })) {
            continue;  // the token itself reads back as a space by design
        }
        EXPECT_EQ(SplitDialLine(JoinDialLine(fields)), fields) << JoinDialLine(fields);
    }
}

}  // namespace
}  // namespace dialvane
