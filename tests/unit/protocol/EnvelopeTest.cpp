#include <gtest/gtest.h>

#include "TestBytes.h"
#include "protocol/Base64.h"
#include "protocol/Envelope.h"
#include "protocol/MessageCatalogue.h"
#include "support/DiagnosticLog.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

using testing::Ascii;
using testing::Concat;
using testing::Hex;

Bytes Wrapped(std::string_view header, const Bytes& frame = {}) {
    return Concat(
        {Ascii("@QNL ENTER LANGUAGE=RCC\r\n"), Hex("1B 1D"), Ascii(header), frame, Hex("1B 01")});
}

TEST(Envelope, SpeedDialInformationRequestOnTheWire) {
    const Bytes wire = BuildFrameWrite(*BuiltInRequest(kMidSpeedDialInfo), ToolIds{});
    EXPECT_EQ(wire, Wrapped("U16;0;18;809}00010003", Hex("C0 7C 00 05 00 03 60 01 00 00")));
    EXPECT_EQ(wire.size(), 60u);
}

TEST(Envelope, TimeoutsFollowTheCommandCode) {
    const ToolIds ids = ToolIds::FromNumbers(1, 20, 10);
    EXPECT_EQ(BuildFrameRead(ids), Wrapped("U16;0;12;598}00010004000A"));
    EXPECT_EQ(BuildOccupyStart(ids), Wrapped("U16;0;12;583}000100010014"));
    EXPECT_EQ(BuildNop(ids), Wrapped("U16;0;8;385}00010000"));
    EXPECT_EQ(BuildOccupyEnd(ToolIds::FromNumbers(0x1A, -1, 0x1000A)),
              Wrapped("U16;0;8;404}001A0002"));
    EXPECT_EQ(ToolIds::FromNumbers(0x1A, -1, 0x1000A).openTimeout, "FFFF");
    EXPECT_EQ(BuildInquireName(), Ascii("@QNL INQUIRE NAME\r\n"));
}

TEST(Envelope, OddFrameGetsOnePadByteCountedButAddingNothing) {
    const int sum = 193 + 195 + 0xC0 + 0x62;
    EXPECT_EQ(BuildCommand(kTemplateFrameWrite, Hex("C0 62 00 01 FF"), ToolIds{}),
              Wrapped("U16;0;14;" + std::to_string(sum + 1 + 0xFF) + "}00010003",
                      Hex("C0 62 00 01 FF 00")));
    EXPECT_EQ(BuildCommand(kTemplateFrameWrite, Hex("C0 62 00 00"), ToolIds{}),
              Wrapped("U16;0;12;" + std::to_string(sum) + "}00010003", Hex("C0 62 00 00")));
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
