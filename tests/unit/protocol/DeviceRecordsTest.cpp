#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <set>

#include "TestBytes.h"
#include "data/CharConv.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "protocol/DeviceRecords.h"
#include "protocol/MessageCatalogue.h"
#include "support/TestProducts.h"

namespace dialvane {
namespace {

using testing::Concat;
using testing::Hex;
using ::testing::StrEq;
using ::testing::ThrowsMessage;
using Fields = std::vector<std::string>;

constexpr NarrowCodePage kLatin = NarrowCodePage::Windows1252;
const RecordFormat kNormal{false, false};
const RecordFormat kExtended{true, false};

Bytes Zeros(std::size_t n) {
    return Bytes(n, 0);
}

TEST(EncodeRecord, SpeedDialOffice) {
    const EncodedRecord record = EncodeRecord({"S5", "Office", "", "03-555-123"}, kNormal);
    EXPECT_EQ(record.mid, 0x7D);
    EXPECT_EQ(record.size, 91u);
    ASSERT_EQ(record.params.size(), 2u);
    EXPECT_EQ(record.params[0], FrameParam::Make(0x60, Hex("05")));
    Bytes expected = testing::Ascii("03-555-123");
    expected.resize(52, 0);
    expected = Concat({expected, Hex("00 4F 00 66 00 66 00 69 00 63 00 65 00 00"), Zeros(20)});
    EXPECT_EQ(record.params[1], FrameParam::Make(0x6F, expected));

    // The extended layout adds the keyword field; a three-field record has none to fill it.
    const EncodedRecord extended = EncodeRecord({"S5", "Office", "03-555-123"}, kExtended);
    EXPECT_EQ(extended.size, 109u);
    EXPECT_EQ(extended.params[1], FrameParam::Make(0x6F, Concat({expected, Zeros(18)})));
    const EncodedRecord keyword = EncodeRecord({"S200", "", "AB", "1"}, kExtended);
    EXPECT_EQ(keyword.params[0].value, Hex("C8"));
    EXPECT_EQ(Bytes(keyword.params[1].value.begin() + 86, keyword.params[1].value.end()),
              Concat({Hex("00 41 00 42"), Zeros(14)}));
}

TEST(EncodeRecord, GroupBitmaps) {
    const EncodedRecord normal = EncodeRecord({"G2", "Sales", "S1", "S9", "S64"}, kNormal);
    EXPECT_EQ(normal.mid, 0x7A);
    EXPECT_EQ(normal.size, 47u);
    const Bytes& value = normal.params[1].value;
    EXPECT_EQ(Bytes(value.begin() + 34, value.end()), Hex("80 80 00 00 00 00 00 01"));
    const EncodedRecord extended = EncodeRecord({"G20", "", "S005", "S200"}, kExtended);
    EXPECT_EQ(extended.size, 64u);
    EXPECT_EQ(Bytes(extended.params[1].value.begin() + 34, extended.params[1].value.end()),
              Concat({Hex("08"), Zeros(23), Hex("01")}));

    for (const Fields& group :
         {Fields{"G1", "x", "S65"}, Fields{"G1", "x", "S0"}, Fields{"G1", "x", "Sx"}}) {
        EXPECT_THAT(
            [&] { EncodeRecord(group, kNormal); },
            ThrowsMessage<DeviceEncodingError>(StrEq("Software ErrorInvalid bit field specified.")))
            << group[2];
    }
    EXPECT_THROW(EncodeRecord({"G1", "x", "S201"}, kExtended), DeviceEncodingError);
}

TEST(EncodeRecord, BindingsAndSender) {
    auto binding = [](const Fields& fields) {
        return EncodeRecord(fields, kNormal).params[1].value;
    };
    EXPECT_EQ(binding({"W1", "G3"}), Hex("02 03"));
    EXPECT_EQ(binding({"W2", "S5"}), Hex("01 05"));
    EXPECT_EQ(binding({"W3", ""}), Hex("00 00"));
    EXPECT_EQ(binding({"W3"}), Hex("00 00"));
    const EncodedRecord w12 = EncodeRecord({"W12", "S200"}, kExtended);
    EXPECT_EQ(w12.mid, 0x77);
    EXPECT_EQ(w12.size, 7u);
    EXPECT_EQ(w12.params[0].value, Hex("0C"));

    const EncodedRecord sender = EncodeRecord({"N", "HQ"}, kNormal);
    EXPECT_EQ(sender.mid, 0x61);
    EXPECT_EQ(sender.size, 36u);
    EXPECT_EQ(sender.params,
              (std::vector{FrameParam::Make(0x66, Concat({Hex("00 48 00 51"), Zeros(30)}))}));
    EXPECT_EQ(EncodeRecord({"N"}, kNormal).params[0].value, Zeros(34));
    EXPECT_EQ(EncodeRecord({"N", "HQ"}, RecordFormat{false, true}).size, 44u);
}

TEST(EncodeRecord, TextThatDoesNotFitIsNeverCut) {
    const std::string seventeen(17, 'a');
    EXPECT_FALSE(IsLongSenderName(std::string(16, 'a')));
    EXPECT_TRUE(IsLongSenderName(seventeen));
    EXPECT_THROW(EncodeRecord({"N", seventeen}, kNormal), DeviceEncodingError);
    EXPECT_NO_THROW(EncodeRecord({"N", std::string(20, 'a')}, RecordFormat{false, true}));
    EXPECT_THROW(EncodeRecord({"S1", seventeen, "1"}, kNormal), DeviceEncodingError);
    EXPECT_THROW(EncodeRecord({"S1", "", "", std::string(52, '1')}, kNormal), DeviceEncodingError);
    EXPECT_THROW(EncodeRecord({"S1", "", "123456789", "1"}, kExtended), DeviceEncodingError);
    EXPECT_THROW(EncodeRecord({"X1", "abc"}, kNormal), DeviceEncodingError);
}

FrameRecord Message(std::uint8_t mid, std::vector<FrameParam> params) {
    FrameRecord message;
    message.mid = mid;
    message.params = std::move(params);
    return message;
}

TEST(DecodeMessage, WhatTheRoundTripCannotShow) {
    const EncodedRecord office = EncodeRecord({"S5", "Office", "KW", "03-555-123"}, kExtended);
    // Without the extended format the keyword bytes are not read.
    EXPECT_EQ(DecodeMessage(Message(0x7C, office.params), false, kLatin),
              (std::vector<Fields>{{"S5", "Office", "", "03-555-123"}}));
    // Registration answers hold no records.
    EXPECT_TRUE(DecodeMessage(Message(0x7D, office.params), true, kLatin).empty());
    // A binding of kind 0 has no target, whatever its number byte says.
    EXPECT_EQ(DecodeMessage(Message(0x76, {FrameParam::Make(0x60, Hex("02")),
                                           FrameParam::Make(0x6D, Hex("00 07"))}),
                            false, kLatin),
              (std::vector<Fields>{{"W2", ""}}));
}

TEST(DecodeMessage, FullWidthFaxDigitsReadBackAsAscii) {
    Bytes value = Hex("82 4F 82 52 81 7C 82 54");  // full-width 0 3 - 5
    value.resize(86, 0);
    const auto records = DecodeMessage(
        Message(0x7C, {FrameParam::Make(0x60, Hex("01")), FrameParam::Make(0x6F, value)}), false,
        NarrowCodePage::Cp932);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].back(), "03-5");
}

TEST(DecodeMessage, AValueCutShortLacksOnlyTheLaterFields) {
    const auto cut = DecodeMessage(
        Message(0x7C, {FrameParam::Make(0x60, {}), FrameParam::Make(0x6F, testing::Ascii("12"))}),
        true, kLatin);
    EXPECT_EQ(cut, (std::vector<Fields>{{"S0", "", "", "12"}}));
}

TEST(DecodeDownload, ASpeedDialBeyondTheModelStopsWithTheGatesMessage) {
    testing::TempDir dir;
    const auto oneTouch = testing::MakeProduct(dir, "ONE");
    RecordTable table(*oneTouch);
    const EncodedRecord beyond = EncodeRecord({"S61", "", "", "1"}, kNormal);
    EXPECT_THAT([&] { DecodeDownload({Message(0x7C, beyond.params)}, false, table); },
                ThrowsMessage<ValidationError>(StrEq("Invalid speed dial number.S61")));
}

// That what the gate passes encodes as the gate stored it is shown by the upload of a file with
// control bytes around its fields.
TEST(CheckEncodes, AMemberNobodyRegisteredIsFoundBeforeAnythingIsSent) {
    testing::TempDir dir;
    const auto quick = testing::MakeProduct(dir, "QUICK");
    RecordTable table(*quick);
    ASSERT_TRUE(table.StoreRecord({"S1", "Office", "", "0123"}));
    ASSERT_TRUE(table.StoreRecord({"G1", "Team", "S9"}));
    EXPECT_THAT(
        [&] { CheckEncodes(table, *quick); },
        ThrowsMessage<ValidationError>(StrEq("Specified speed dial number is not registered.S9")));
}

// A dial list the strict gate accepts, drawn at random.
std::vector<Fields> GenerateDialList(std::mt19937& random, bool extended) {
    static const char* const kName[] = {"A", "z", "0",  " ",  "-",  "&", ",", "\"",
                                        "é", "ß", "あ", "ア", "漢", "ｶ", "、"};
    static const char* const kKeyword[] = {"A", "k", "9", " ", "ｱ", "ﾝ", "~"};
    static constexpr std::string_view kFax = "0123456789 *#->_%ABCD";
    auto below = [&](std::size_t n) { return static_cast<int>(random() % n); };
    auto text = [&](std::size_t maxUnits, const auto& alphabet) {
        std::string out;
        for (int i = below(maxUnits + 1); i > 0; --i) {
            out += alphabet[below(std::size(alphabet))];
        }
        return out;
    };
    auto pick = [&](int limit) {
        std::vector<int> all(static_cast<std::size_t>(limit));
        std::iota(all.begin(), all.end(), 1);
        std::shuffle(all.begin(), all.end(), random);
        all.resize(static_cast<std::size_t>(below(all.size() + 1)));
        return all;
    };
    const int speedLimit = extended ? 200 : 60;
    std::vector<Fields> records;
    const std::vector<int> speedDials = pick(speedLimit);
    for (const int n : speedDials) {
        std::string fax(1, kFax[below(10)]);
        for (int i = below(50); i > 0; --i) {
            fax += kFax[below(kFax.size())];
        }
        records.push_back(
            {"S" + std::to_string(n), text(16, kName), extended ? text(8, kKeyword) : "", fax});
    }
    for (const int g : speedDials.empty() ? std::vector<int>() : pick(20)) {
        Fields group = {"G" + std::to_string(g), text(16, kName)};
        for (int i = 1 + below(std::min<std::size_t>(20, speedDials.size())); i > 0; --i) {
            group.push_back("S" + std::to_string(speedDials[static_cast<std::size_t>(i - 1)]));
        }
        records.push_back(group);
    }
    for (const int w : pick(extended ? 12 : 3)) {
        records.push_back(
            {"W" + std::to_string(w), below(2) ? "G" + std::to_string(1 + below(20))
                                               : "S" + std::to_string(1 + below(speedLimit))});
    }
    if (below(4) != 0) {
        records.push_back({"N", text(20, kName)});
    }
    return records;
}

std::uint8_t InformationMid(std::uint8_t registration) {
    return registration == 0x61 ? 0x60 : static_cast<std::uint8_t>(registration - 1);
}

// What the device receives: every frame serialised and parsed again, the parameters of one
// message collected in order.
std::vector<FrameRecord> OverTheWire(const std::map<std::uint8_t, MessageFrames>& messages) {
    std::vector<FrameRecord> received;
    for (const auto& [mid, frames] : messages) {
        FrameRecord message = frames.First();
        message.mid = InformationMid(mid);
        message.params.clear();
        MessageCount count;
        for (std::size_t i = 0; i < frames.Frames().size(); ++i) {
            const FrameRecord& frame = frames.Frames()[i];
            EXPECT_LE(frame.fLen, kMaxBuiltFrameLength);
            const FrameParseResult parsed = ParseFrame(SerializeFrame(frame));
            EXPECT_TRUE(parsed.ok());
            // A record's number and data always travel in the same frame.
            const auto& params = parsed.frame.params;
            if (mid != 0x61) {
                EXPECT_EQ(params.size() % 2, 0u);
                for (std::size_t p = 0; p < params.size(); p += 2) {
                    EXPECT_EQ(params[p].pid, kPidRecordNumber);
                }
            }
            i == 0 ? count.Start(parsed.frame) : count.Add(parsed.frame);
            message.params.insert(message.params.end(), params.begin(), params.end());
        }
        EXPECT_TRUE(count.Complete());
        received.push_back(std::move(message));
    }
    return received;
}

std::multiset<Fields> Records(const RecordTable& table) {
    std::multiset<Fields> records;
    for (int i = 1; i <= table.Count(); ++i) {
        records.insert(table.At(i));
    }
    return records;
}

void RoundTrip(bool extended, unsigned seed) {
    testing::TempDir dir;
    const auto product = testing::MakeProduct(dir, extended ? "QUICK" : "ONE");
    std::mt19937 random(seed);
    for (int round = 0; round < 60; ++round) {
        const std::vector<Fields> list = GenerateDialList(random, extended);
        RecordTable sent(*product);
        for (const Fields& fields : list) {
            ASSERT_NO_THROW(sent.StoreRecord(fields)) << fields[0];
        }
        const bool longSender = list.back()[0] == "N" && IsLongSenderName(list.back()[1]);
        const RecordFormat format{extended, longSender};
        const auto messages = EncodeTable(sent, format);
        RecordTable received(*product);
        ASSERT_NO_THROW(DecodeDownload(OverTheWire(messages), extended, received));
        ASSERT_EQ(Records(received), Records(sent)) << "round " << round;
    }
}

TEST(DeviceRecords, GeneratedDialListsSurviveTheRoundTripInBothFormats) {
    RoundTrip(false, 1234);
    RoundTrip(true, 5678);
}

}  // namespace
}  // namespace dialvane
