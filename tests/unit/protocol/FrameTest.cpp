#include <gtest/gtest.h>

#include <random>

#include "TestBytes.h"
#include "protocol/Frame.h"

namespace dialvane {
namespace {

using testing::Hex;

FrameParam Param(std::uint8_t pid, const Bytes& value) {
    return FrameParam::Make(pid, value);
}

TEST(FrameSerialize, HeaderLenAndParametersInOrder) {
    FrameRecord frame;
    frame.jtype = 0xC0;
    frame.mid = 0x7C;
    frame.fLen = 5;
    frame.len = 3;
    frame.params = {Param(0x60, {0x00})};
    EXPECT_EQ(SerializeFrame(frame), Hex("C0 7C 00 05 00 03 60 01 00"));

    // Without parameters a frame is its 4-byte header.
    FrameRecord bare;
    bare.mid = 0x62;
    EXPECT_EQ(SerializeFrame(bare), Hex("C0 62 00 00"));

    // Continuation frames carry no LEN field.
    FrameRecord last;
    last.jtype = 0x40;
    last.mid = 0x7D;
    last.fLen = 3;
    last.len = 99;
    last.params = {Param(0x60, {0x07})};
    EXPECT_EQ(SerializeFrame(last), Hex("40 7D 00 03 60 01 07"));
}

TEST(FrameSerialize, SomeValuesChangeByteOrderOnTheWayOut) {
    FrameRecord frame;
    frame.fLen = 2 + 6 + 8 + 5 + 5 + 4 + 5 + 5;
    frame.params = {Param(0x09, {0x64, 0x00, 0x0F, 0x00}),
                    Param(0x0B, {1, 2, 3, 4, 5, 6}),
                    Param(0x32, {1, 2, 3}),
                    Param(0x80, {1, 2, 3}),
                    Param(0x30, {1, 2}),
                    Param(0x31, {1, 2, 3}),
                    Param(0x6F, {1, 2, 3})};
    const Bytes out = SerializeFrame(frame);
    EXPECT_EQ(Bytes(out.begin() + 6, out.end()),
              Hex("09 04 00 64 00 0F  0B 06 03 02 01 06 05 04  32 03 03 02 01  80 03 03 02 01"
                  "30 02 02 01  31 03 03 02 01  6F 03 01 02 03"));
    // The stored value itself is untouched.
    EXPECT_EQ(frame.params[0].value, Hex("64 00 0F 00"));
}

TEST(FrameSerialize, NeverWritesPastFLen) {
    FrameRecord frame;
    frame.fLen = 6;  // room for the LEN field and one 2-byte parameter and a bit more
    frame.params = {Param(0x60, {1}), Param(0x61, {2, 3, 4})};
    const Bytes out = SerializeFrame(frame);
    ASSERT_EQ(out.size(), 10u);
    EXPECT_EQ(out, Hex("C0 00 00 06 00 00 60 01 01 61"));
}

TEST(FrameParse, ReadsFramesAsTheyArrive) {
    FrameParseResult only = ParseFrame(Hex("C0 7C 00 05 00 03 60 01 05 00 00"));
    ASSERT_TRUE(only.ok());
    EXPECT_EQ(only.frame.len, 3);
    ASSERT_EQ(only.frame.params.size(), 1u);
    EXPECT_EQ(only.frame.params[0], Param(0x60, {0x05}));

    // No byte-order conversion when receiving.
    FrameParseResult swapped = ParseFrame(Hex("C0 21 00 08 00 06 09 04 00 64 00 0F"));
    ASSERT_TRUE(swapped.ok());
    EXPECT_EQ(swapped.frame.params[0].value, Hex("00 64 00 0F"));

    // Continuation frame: parameters from offset 4, LEN equals F_LEN.
    FrameParseResult last = ParseFrame(Hex("40 7C 00 06 60 01 09 6D 01 02"));
    ASSERT_TRUE(last.ok());
    EXPECT_EQ(last.frame.len, 6);
    ASSERT_EQ(last.frame.params.size(), 2u);
    EXPECT_EQ(last.frame.params[1], Param(0x6D, {0x02}));

    // F_LEN 0: nothing but the header, whatever follows.
    FrameParseResult empty = ParseFrame(Hex("C0 7C 00 00 12 34"));
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty.frame.len, 0);
    EXPECT_TRUE(empty.frame.params.empty());

    // A first frame with LEN 0 has no parameters whatever its F_LEN says.
    FrameParseResult noLen = ParseFrame(Hex("80 7C 00 05 00 00 60 01 05"));
    ASSERT_TRUE(noLen.ok());
    EXPECT_TRUE(noLen.frame.params.empty());
}

TEST(FrameParse, StopsAfterFourHundredAndOneParameters) {
    Bytes bytes = Hex("40 7C");
    const std::size_t count = 450;
    const std::size_t fLen = count * 2;
    bytes.push_back(static_cast<std::uint8_t>(fLen >> 8));
    bytes.push_back(static_cast<std::uint8_t>(fLen & 0xFF));
    for (std::size_t i = 0; i < count; ++i) {
        bytes.push_back(0x20);
        bytes.push_back(0x00);
    }
    FrameParseResult result = ParseFrame(bytes);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.frame.params.size(), kMaxParamsPerFrame);
}

TEST(FrameParse, LengthsPointingPastTheReceivedBytesAreRejected) {
    EXPECT_EQ(ParseFrame(Hex("C0 7C 00")).error, FrameParseError::TooShort);
    EXPECT_EQ(ParseFrame(Hex("C0 7C 00 01 00")).error, FrameParseError::TooShort);
    EXPECT_EQ(ParseFrame(Hex("C0 7C 00 09 00 03 60 01 05")).error, FrameParseError::LengthPastEnd);
    EXPECT_EQ(ParseFrame(Hex("C0 7C FF FF 00 03")).error, FrameParseError::LengthPastEnd);
    // SIZE runs beyond the bytes.
    EXPECT_EQ(ParseFrame(Hex("40 7C 00 04 6F 56 01 02")).error, FrameParseError::ParamPastEnd);
    // The budget from F_LEN asks for one more parameter than the bytes hold.
    EXPECT_EQ(ParseFrame(Hex("40 7C 00 04 60 01 05 6F")).error, FrameParseError::ParamPastEnd);
}

TEST(FrameParse, RandomBytesNeverCrashOrOverrun) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 20000; ++round) {
        const std::size_t size = random() % 64;
        Bytes bytes(size);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        // Small lengths make the interesting paths likely.
        if (size >= 4 && random() % 2 == 0) {
            bytes[2] = 0;
            bytes[3] = static_cast<std::uint8_t>(random() % (size + 4));
        }
        const FrameParseResult result = ParseFrame(bytes);
        if (result.ok()) {
            std::size_t total = 0;
            for (const FrameParam& param : result.frame.params) {
                ASSERT_EQ(param.value.size(), param.size);
                total += ParamWireSize(param);
            }
            ASSERT_LE(total + 4, bytes.size());
        }
    }
}

TEST(MessageCount, CompleteWhenTheFramesCoverTotal) {
    FrameRecord first;
    first.jtype = 0x80;
    first.fLen = 202;
    first.len = 300;
    MessageCount count;
    count.Start(first);
    EXPECT_FALSE(count.Complete());
    EXPECT_EQ(count.Received(), 200u);
    FrameRecord last;
    last.jtype = 0x40;
    last.fLen = 100;
    count.Add(last);
    EXPECT_TRUE(count.Complete());

    FrameRecord only;
    only.fLen = 5;
    only.len = 3;
    count.Start(only);
    EXPECT_TRUE(count.Complete());

    FrameRecord empty;
    count.Start(empty);
    EXPECT_TRUE(count.Complete());
}

TEST(MessageCount, ManyFramesDoNotWrapTheCount) {
    FrameRecord first;
    first.jtype = 0x80;
    first.fLen = 2;
    first.len = 0xFFFF;
    MessageCount count;
    count.Start(first);
    FrameRecord middle;
    middle.jtype = 0x00;
    middle.fLen = 0xFFF0;
    count.Add(middle);
    count.Add(middle);
    EXPECT_TRUE(count.Complete());
    EXPECT_EQ(count.cur, 2u + 2u * 0xFFF0u);
}

std::vector<FrameParam> Unit(std::size_t size) {
    // A record number and a data parameter taking `size` bytes in all.
    return {FrameParam::Make(0x60, {1}), FrameParam::Make(0x6F, Bytes(size - 5, 0xAA))};
}

TEST(MessageFrames, SplitsBeforeAnEntryThatWouldPassTheLimit) {
    MessageFrames message(0x7D);
    EXPECT_TRUE(message.Empty());
    message.AppendUnit(Unit(131));  // F_LEN 2 + 131 = 133
    ASSERT_EQ(message.Frames().size(), 1u);
    EXPECT_EQ(message.First().fLen, 133);

    // 133 + 91 = 224 > 223: the entry opens a 0x40 frame and the first becomes 0x80.
    EXPECT_EQ(message.AppendUnit(Unit(91)), 91u);
    ASSERT_EQ(message.Frames().size(), 2u);
    EXPECT_EQ(message.Frames()[0].jtype, 0x80);
    EXPECT_EQ(message.Frames()[0].fLen, 133);
    EXPECT_EQ(message.Frames()[1].jtype, 0x40);
    EXPECT_EQ(message.Frames()[1].mid, 0x7D);
    EXPECT_EQ(message.Frames()[1].fLen, 91);
    EXPECT_EQ(message.First().len, 131 + 91);

    // Filling the 0x40 frame past the limit turns it into a middle frame.
    message.AppendUnit(Unit(109));  // 200
    message.AppendUnit(Unit(91));   // 291 > 223
    ASSERT_EQ(message.Frames().size(), 3u);
    EXPECT_EQ(message.Frames()[1].jtype, 0x00);
    EXPECT_EQ(message.Frames()[2].jtype, 0x40);
    EXPECT_EQ(message.First().len, 131 + 91 + 109 + 91);
}

TEST(MessageFrames, ExactlyTheLimitStaysInOneFrame) {
    MessageFrames message(0x7D);
    message.AppendUnit(Unit(130));
    message.AppendUnit(Unit(91));  // 2 + 130 + 91 = 223
    ASSERT_EQ(message.Frames().size(), 1u);
    EXPECT_EQ(message.First().jtype, 0xC0);
    EXPECT_EQ(message.First().fLen, 223);
}

TEST(MessageFrames, SerializedFramesParseBackAndCountComplete) {
    MessageFrames message(0x7C);
    for (int i = 0; i < 40; ++i) {
        message.AppendUnit(Unit(91));
    }
    MessageCount count;
    std::vector<FrameParam> params;
    for (std::size_t i = 0; i < message.Frames().size(); ++i) {
        const FrameRecord& frame = message.Frames()[i];
        ASSERT_LE(frame.fLen, kMaxBuiltFrameLength);
        const FrameParseResult parsed = ParseFrame(SerializeFrame(frame));
        ASSERT_TRUE(parsed.ok());
        // Both parameters of every record share their frame.
        ASSERT_EQ(parsed.frame.params.size() % 2, 0u);
        if (i == 0) {
            count.Start(parsed.frame);
        } else {
            EXPECT_FALSE(count.Complete());
            count.Add(parsed.frame);
        }
        params.insert(params.end(), parsed.frame.params.begin(), parsed.frame.params.end());
    }
    EXPECT_TRUE(count.Complete());
    EXPECT_EQ(params.size(), 80u);
}

TEST(MessageFrames, AUnitLargerThanAFrameIsRefused) {
    MessageFrames message(0x7D);
    EXPECT_THROW(message.AppendUnit(Unit(222)), std::length_error);
    EXPECT_TRUE(message.Empty());
}

}  // namespace
}  // namespace dialvane
