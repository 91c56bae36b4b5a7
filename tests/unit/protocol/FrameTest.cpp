#include <gtest/gtest.h>

#include "TestBytes.h"
#include "protocol/Frame.h"

namespace dialvane {
namespace {

using testing::Hex;

FrameRecord Frame(std::uint8_t jtype, std::uint16_t fLen, std::uint16_t len,
                  std::vector<FrameParam> params) {
    return FrameRecord{jtype, 0x7C, fLen, len, std::move(params)};
}

TEST(FrameSerialize, LayoutByPosition) {
    EXPECT_EQ(SerializeFrame(Frame(0xC0, 5, 3, {FrameParam::Make(0x60, {0})})),
              Hex("C0 7C 00 05 00 03 60 01 00"));
    EXPECT_EQ(SerializeFrame(Frame(0xC0, 0, 0, {})), Hex("C0 7C 00 00"));
    // Continuation frames carry no LEN field, whatever the record holds.
    EXPECT_EQ(SerializeFrame(Frame(0x40, 3, 99, {FrameParam::Make(0x60, {7})})),
              Hex("40 7C 00 03 60 01 07"));
    // Parameters beyond F_LEN are cut, never written past the frame.
    EXPECT_EQ(SerializeFrame(Frame(
                  0xC0, 6, 0, {FrameParam::Make(0x60, {1}), FrameParam::Make(0x61, {2, 3, 4})})),
              Hex("C0 7C 00 06 00 00 60 01 01 61"));
}

TEST(FrameSerialize, SomeValuesChangeByteOrderOnTheWayOut) {
    const FrameRecord frame = Frame(
        0x40, 24, 0,
        {FrameParam::Make(0x09, Hex("64 00 0F 00")), FrameParam::Make(0x0B, {1, 2, 3, 4, 5, 6}),
         FrameParam::Make(0x80, {1, 2, 3}), FrameParam::Make(0x6F, {1, 2, 3})});
    EXPECT_EQ(SerializeFrame(frame), Hex("40 7C 00 18  09 04 00 64 00 0F  0B 06 03 02 01 06 05 04"
                                         "80 03 03 02 01  6F 03 01 02 03"));
}

TEST(FrameParse, EmptyFramesAndTheParameterCap) {
    // F_LEN 0 ends the frame whatever follows; a first frame of LEN 0 carries no parameters.
    for (const Bytes& bare : {Hex("C0 7C 00 00 12 34"), Hex("80 7C 00 05 00 00 60 01 05")}) {
        const FrameParseResult empty = ParseFrame(bare);
        ASSERT_TRUE(empty.ok());
        EXPECT_EQ(empty.frame.len, 0);
        EXPECT_TRUE(empty.frame.params.empty());
    }
    // A continuation frame's LEN is its F_LEN.
    EXPECT_EQ(ParseFrame(Hex("40 7C 00 06 60 01 09 6D 01 02")).frame.len, 6);

    Bytes many = Hex("40 7C 03 84");  // 450 empty parameters
    many.resize(4 + 900, 0);
    EXPECT_EQ(ParseFrame(many).frame.params.size(), kMaxParamsPerFrame);
}

TEST(FrameParse, LengthsPointingPastTheReceivedBytesAreRejected) {
    EXPECT_EQ(ParseFrame(Hex("C0 7C 00")).error, FrameParseError::TooShort);
    EXPECT_EQ(ParseFrame(Hex("C0 7C 00 01 00")).error, FrameParseError::TooShort);
    EXPECT_EQ(ParseFrame(Hex("C0 7C FF FF 00 03")).error, FrameParseError::LengthPastEnd);
    EXPECT_EQ(ParseFrame(Hex("40 7C 00 04 6F 56 01 02")).error, FrameParseError::ParamPastEnd);
    EXPECT_EQ(ParseFrame(Hex("40 7C 00 04 60 01 05 6F")).error, FrameParseError::ParamPastEnd);
}

TEST(FrameParse, OnlyTheFourFramePositionsAreFrames) {
    for (int high = 0; high < 16; ++high) {
        Bytes bytes = Hex("00 7C 00 05 00 03 60 01 05");
        bytes[0] = static_cast<std::uint8_t>(high << 4);
        const bool defined = high == 0x0 || high == 0x4 || high == 0x8 || high == 0xC;
        EXPECT_EQ(ParseFrame(bytes).ok(), defined) << "JTYPE " << (high << 4);
        if (!defined) {
            EXPECT_EQ(ParseFrame(bytes).error, FrameParseError::BadPosition);
            bytes[2] = bytes[3] = 0;
            EXPECT_EQ(ParseFrame(bytes).error, FrameParseError::BadPosition) << "also at F_LEN 0";
        }
    }
}

TEST(MessageCount, CompleteWhenTheFramesCoverTotal) {
    MessageCount count;
    count.Start(Frame(0x80, 202, 300, {}));
    EXPECT_FALSE(count.Complete());
    count.Add(Frame(0x40, 100, 100, {}));
    EXPECT_TRUE(count.Complete());
    count.Start(Frame(0xC0, 0, 0, {}));
    EXPECT_TRUE(count.Complete());
    // Cur is wider than F_LEN, so a long run of frames cannot wrap it back below Total.
    count.Start(Frame(0x80, 2, 0xFFFF, {}));
    count.Add(Frame(0x00, 0xFFF0, 0, {}));
    count.Add(Frame(0x00, 0xFFF0, 0, {}));
    EXPECT_EQ(count.cur, 2u + 2u * 0xFFF0u);
}

std::vector<FrameParam> Unit(std::size_t size) {
    return {FrameParam::Make(0x60, {1}), FrameParam::Make(0x6F, Bytes(size - 5, 0xAA))};
}

TEST(MessageFrames, SplitsBeforeAnEntryThatWouldPassTheLimit) {
    MessageFrames message(0x7D);
    message.AppendUnit(Unit(130));
    message.AppendUnit(Unit(91));  // 2 + 130 + 91 = 223 still fits
    ASSERT_EQ(message.Frames().size(), 1u);
    EXPECT_EQ(message.First().jtype, 0xC0);

    MessageFrames split(0x7D);
    split.AppendUnit(Unit(131));  // F_LEN 133
    split.AppendUnit(Unit(91));   // 224 > 223: a 0x40 frame opens, the first becomes 0x80
    ASSERT_EQ(split.Frames().size(), 2u);
    EXPECT_EQ(split.Frames()[0].jtype, 0x80);
    EXPECT_EQ(split.Frames()[0].fLen, 133);
    EXPECT_EQ(split.Frames()[1].jtype, 0x40);
    EXPECT_EQ(split.Frames()[1].fLen, 91);
    split.AppendUnit(Unit(109));
    split.AppendUnit(Unit(91));  // the 0x40 frame overflows and becomes a middle frame
    EXPECT_EQ(split.Frames()[1].jtype, 0x00);
    EXPECT_EQ(split.Frames()[2].jtype, 0x40);
    EXPECT_EQ(split.First().len, 131 + 91 + 109 + 91);

    EXPECT_THROW(split.AppendUnit(Unit(222)), std::length_error);
    EXPECT_EQ(split.First().len, 131 + 91 + 109 + 91);
}

}  // namespace
}  // namespace dialvane
