#include <gtest/gtest.h>

#include "TestBytes.h"
#include "protocol/Base64.h"
#include "protocol/Envelope.h"
#include "support/DiagnosticLog.h"
#include "support/TempDir.h"

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

TEST(Base64, DecodingIsLoggedBeforeAndAfter) {
    dialvane::testing::TempDir dir;
    LogInit(dir.Path(), dir.Write("on.ini", "[LOG_LEVEL]\nLogProc_BASE64=1\nLogFunc_Info=1\n"),
            QnlEnvRecord{}, 0, 0);
    EXPECT_TRUE(Base64Decode("TWFu"));
    const std::string log = dir.Read(kLogFileName);
    // The log goes quiet again before its folder is removed.
    LogInit(dir.Path(), dir.File("none.ini"), QnlEnvRecord{}, 0, 0);
    const std::size_t before = log.find("Base64_Decode... 変換前 [4]Bytes");
    ASSERT_NE(before, std::string::npos) << log;
    EXPECT_NE(log.find("Base64_Decode... 変換後 [3]Bytes", before), std::string::npos) << log;
}

}  // namespace
}  // namespace dialvane
