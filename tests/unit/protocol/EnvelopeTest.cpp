#include <gtest/gtest.h>

#include "TestBytes.h"
#include "protocol/Base64.h"
#include "protocol/Envelope.h"
#include "protocol/MessageCatalogue.h"

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

TEST(Catalogue, NamesAndReceivableMessages) {
    EXPECT_EQ(MessageName(0x00), "Initialization Request,  Initialization Complete Notification");
    EXPECT_EQ(MessageName(0x7C), "Speed Dial Information Request");
    EXPECT_EQ(MessageName(0xE9), "Download Start Request");
    EXPECT_EQ(MessageName(0x1F), "");
    int named = 0;
    int receivable = 0;
    for (int mid = 0; mid < 256; ++mid) {
        named += MessageName(static_cast<std::uint8_t>(mid)).empty() ? 0 : 1;
        for (int jobType = 0; jobType < 16; ++jobType) {
            receivable +=
                IsReceivable(static_cast<std::uint8_t>(jobType), static_cast<std::uint8_t>(mid));
        }
    }
    EXPECT_EQ(named, 53);
    EXPECT_EQ(receivable, 32);
    EXPECT_TRUE(IsReceivable(0, 0xEA));
    EXPECT_TRUE(IsReceivable(7, 0x8F));
    EXPECT_FALSE(IsReceivable(7, 0x7C));
    EXPECT_FALSE(IsReceivable(0, 0x80));
}

TEST(Catalogue, BuiltInRequestFrames) {
    auto wire = [](std::uint8_t mid, bool sender = false) {
        return SerializeFrame(*BuiltInRequest(mid, sender));
    };
    for (std::uint8_t mid : {0x76, 0x78, 0x79, 0x7B, 0x7C, 0x7E}) {
        EXPECT_EQ(wire(mid), Concat({Hex("C0"), {mid}, Hex("00 05 00 03 60 01 00")}));
    }
    EXPECT_EQ(wire(0x1F), Hex("C0 1F 00 08 00 06 B2 01 14 B3 01 00"));
    EXPECT_EQ(wire(0x21), Hex("C0 21 00 08 00 06 09 04 00 64 00 0F"));
    EXPECT_EQ(wire(0x60, true), Hex("C0 60 00 05 00 03 91 01 01"));
    EXPECT_EQ(wire(0x60, false), Hex("C0 60 00 00"));
    EXPECT_EQ(wire(0x62), Hex("C0 62 00 00"));
    EXPECT_FALSE(BuiltInRequest(0x7D));
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
