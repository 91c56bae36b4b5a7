#include <gtest/gtest.h>

#include "TestBytes.h"
#include "protocol/Base64.h"
#include "protocol/Envelope.h"
#include "protocol/MessageCatalogue.h"

namespace dialvane {
namespace {

using testing::Ascii;
using testing::AsText;
using testing::Concat;
using testing::Hex;

const Bytes kSwitch = Ascii("@QNL ENTER LANGUAGE=RCC\r\n");
const Bytes kStart = Hex("1B 1D");
const Bytes kEnd = Hex("1B 01");

Bytes Wrapped(std::string_view header, const Bytes& frame = {}) {
    return Concat({kSwitch, kStart, Ascii(header), frame, kEnd});
}

TEST(Envelope, SpeedDialInformationRequestOnTheWire) {
    const std::optional<FrameRecord> request = BuiltInRequest(kMidSpeedDialInfo);
    ASSERT_TRUE(request);
    const Bytes wire = BuildFrameWrite(*request, ToolIds{});
    EXPECT_EQ(wire, Wrapped("U16;0;18;809}00010003", Hex("C0 7C 00 05 00 03 60 01 00 00")));
    EXPECT_EQ(wire.size(), 60u);
}

TEST(Envelope, TimeoutsFollowTheCommandCode) {
    const ToolIds ids = ToolIds::FromNumbers(1, 20, 10);
    EXPECT_EQ(BuildFrameRead(ids), Wrapped("U16;0;12;598}00010004000A"));
    EXPECT_EQ(AsText(BuildOccupyStart(ids)), AsText(Wrapped("U16;0;12;583}000100010014")));
    EXPECT_EQ(AsText(BuildNop(ids)), AsText(Wrapped("U16;0;8;385}00010000")));
    EXPECT_EQ(AsText(BuildOccupyEnd(ids)), AsText(Wrapped("U16;0;8;387}00010002")));

    // Another connection number changes the checksum with it.
    const ToolIds other = ToolIds::FromNumbers(0x1A, 0x3C, 0x3C);
    EXPECT_EQ(AsText(BuildNop(other)), AsText(Wrapped("U16;0;8;402}001A0000")));
}

TEST(Envelope, OddFrameGetsOnePadByteCountedButAddingNothing) {
    const Bytes odd = Hex("C0 62 00 01 FF");
    const Bytes wire = BuildCommand(kTemplateFrameWrite, odd, ToolIds{});
    // 8 + 6 bytes; checksum 193 + 195 + C0 + 62 + 01 + FF.
    EXPECT_EQ(wire, Wrapped("U16;0;14;" + std::to_string(193 + 195 + 0xC0 + 0x62 + 0x01 + 0xFF) +
                                "}00010003",
                            Hex("C0 62 00 01 FF 00")));
    const Bytes even = Hex("C0 62 00 00");
    EXPECT_EQ(BuildCommand(kTemplateFrameWrite, even, ToolIds{}),
              Wrapped("U16;0;12;" + std::to_string(193 + 195 + 0xC0 + 0x62) + "}00010003", even));
}

TEST(Envelope, NameQueryGoesOutPlain) {
    EXPECT_EQ(AsText(BuildInquireName()), "@QNL INQUIRE NAME\r\n");
}

TEST(Envelope, HexFieldsAreAlwaysFourDigits) {
    EXPECT_EQ(Hex4(1), "0001");
    EXPECT_EQ(Hex4(60), "003C");
    EXPECT_EQ(Hex4(0xABCDE), "BCDE");
    EXPECT_EQ(Hex4(-1), "FFFF");
}

TEST(Catalogue, NamesByMessage) {
    EXPECT_EQ(MessageName(0x00), "Initialization Request,  Initialization Complete Notification");
    EXPECT_EQ(MessageName(0x7C), "Speed Dial Information Request");
    EXPECT_EQ(MessageName(0x61), "Personal Number Registration Request");
    EXPECT_EQ(MessageName(0x76), "One-touch dial Information Request");
    EXPECT_EQ(MessageName(0xE9), "Download Start Request");
    EXPECT_EQ(MessageName(0x1F), "");
    EXPECT_EQ(MessageName(0xEA), "");
    int named = 0;
    for (int mid = 0; mid < 256; ++mid) {
        named += MessageName(static_cast<std::uint8_t>(mid)).empty() ? 0 : 1;
    }
    EXPECT_EQ(named, 53);
}

TEST(Catalogue, ReceivableMessagesKeyOnTheJobType) {
    EXPECT_TRUE(IsReceivable(0, 0x7C));
    EXPECT_TRUE(IsReceivable(0, 0x1F));
    EXPECT_TRUE(IsReceivable(0, 0xEA));
    EXPECT_TRUE(IsReceivable(7, 0x8F));
    EXPECT_FALSE(IsReceivable(7, 0x7C));
    EXPECT_FALSE(IsReceivable(0, 0x80));
    EXPECT_FALSE(IsReceivable(0, 0x22));
    int count = 0;
    for (int jobType = 0; jobType < 16; ++jobType) {
        for (int mid = 0; mid < 256; ++mid) {
            count +=
                IsReceivable(static_cast<std::uint8_t>(jobType), static_cast<std::uint8_t>(mid));
        }
    }
    EXPECT_EQ(count, 32);
}

TEST(Catalogue, BuiltInRequestFrames) {
    auto wire = [](std::uint8_t mid, bool sender = false) {
        return SerializeFrame(*BuiltInRequest(mid, sender));
    };
    for (std::uint8_t mid : {0x76, 0x78, 0x79, 0x7B, 0x7C, 0x7E}) {
        Bytes expected = Hex("C0 00 00 05 00 03 60 01 00");
        expected[1] = mid;
        EXPECT_EQ(wire(mid), expected) << int(mid);
    }
    EXPECT_EQ(wire(0x1F), Hex("C0 1F 00 08 00 06 B2 01 14 B3 01 00"));
    EXPECT_EQ(wire(0x21), Hex("C0 21 00 08 00 06 09 04 00 64 00 0F"));
    EXPECT_EQ(wire(0x60, true), Hex("C0 60 00 05 00 03 91 01 01"));
    EXPECT_EQ(wire(0x60, false), Hex("C0 60 00 00"));
    EXPECT_EQ(wire(0x62), Hex("C0 62 00 00"));
    EXPECT_FALSE(BuiltInRequest(0x7D));
    EXPECT_FALSE(HasBuiltInRequest(0x61));
    EXPECT_TRUE(HasBuiltInRequest(0x1F));
}

TEST(Base64, PaddingCountsAsZeroAndIsNotTrimmed) {
    EXPECT_EQ(Base64Decode("AAA="), Hex("00 00 00"));
    EXPECT_EQ(Base64Decode("TWE="), Hex("4D 61 00"));
    EXPECT_EQ(Base64Decode("TQ=="), Hex("4D 00 00"));
    EXPECT_EQ(Base64Decode("TWFu+/8A"), Hex("4D 61 6E FB FF 00"));
    EXPECT_EQ(Base64Decode("wHwABQADYAEA"), Hex("C0 7C 00 05 00 03 60 01 00"));
}

TEST(Base64, MalformedTextIsRejected) {
    EXPECT_FALSE(Base64Decode(""));
    EXPECT_FALSE(Base64Decode("AAA"));
    EXPECT_FALSE(Base64Decode("AAAAA"));
    EXPECT_FALSE(Base64Decode("AA-A"));
    EXPECT_FALSE(Base64Decode("AA A"));
    EXPECT_FALSE(Base64Decode(std::string_view("AA\0A", 4)));
    EXPECT_FALSE(Base64Decode("A=AA"));
    EXPECT_FALSE(Base64Decode("AA=A"));
    EXPECT_FALSE(Base64Decode("AA==AAAA"));
    EXPECT_FALSE(Base64Decode("A==="));
}

}  // namespace
}  // namespace dialvane
