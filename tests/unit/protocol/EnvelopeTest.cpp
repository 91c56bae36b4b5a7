#include <gtest/gtest.h>

#include "TestBytes.h"
#include "protocol/Base64.h"
#include "protocol/Envelope.h"

namespace dialvane {
namespace {

using testing::Ascii;
using testing::Concat;
using testing::Hex;

Bytes Wrapped(std::string_view header) {
    return Concat(
        {Ascii("@QNL ENTER LANGUAGE=RCC\r\n"), Hex("1B 1D"), Ascii(header), Hex("1B 01")});
}

// The envelopes of the default ids travel in every transfer test, where the emulated MFP checks
// their byte counts, checksums, padding and timeouts.
TEST(Envelope, IdsOutsideTheDefaultsKeepTheirFourHexDigits) {
    const ToolIds odd = ToolIds::FromNumbers(0x1A, -1, 0x1000A);
    EXPECT_EQ(odd.openTimeout, "FFFF");
    EXPECT_EQ(BuildOccupyEnd(odd), Wrapped("U16;0;8;404}001A0002"));
}

TEST(Base64, PaddingCountsAsZeroAndMalformedTextIsRejected) {
    EXPECT_EQ(Base64Decode("AAA="), Hex("00 00 00"));
    EXPECT_EQ(Base64Decode("TQ=="), Hex("4D 00 00"));
    EXPECT_EQ(Base64Decode("TWFu+/8A"), Hex("4D 61 6E FB FF 00"));
    for (const std::string_view bad : std::initializer_list<std::string_view>{
             "", "AAA", "AAAAA", "AA-A", "AA A", std::string_view("AA\0A", 4), "A=AA", "AA=A",
             "AA==AAAA", "A==="}) {
        EXPECT_FALSE(Base64Decode(bad)) << bad;
    }
}

}  // namespace
}  // namespace dialvane
