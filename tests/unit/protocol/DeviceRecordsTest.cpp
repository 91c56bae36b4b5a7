#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "TestBytes.h"
#include "data/CharConv.h"
#include "data/ModeMessages.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "protocol/DeviceRecords.h"
#include "protocol/MessageCatalogue.h"

namespace dialvane {
namespace {

using testing::Hex;
using Fields = std::vector<std::string>;

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
    EXPECT_EQ(record.params[0].pid, 0x60);
    EXPECT_EQ(record.params[0].value, Hex("05"));
    EXPECT_EQ(record.params[1].pid, 0x6F);
    EXPECT_EQ(record.params[1].size, 0x56);
    Bytes expected = testing::Ascii("03-555-123");
    expected.resize(52, 0);
    const Bytes name = Hex("00 4F 00 66 00 66 00 69 00 63 00 65 00 00");
    expected.insert(expected.end(), name.begin(), name.end());
    expected.resize(86, 0);
    EXPECT_EQ(record.params[1].value, expected);

    // The extended layout adds the keyword field; a three-field record has none to fill it.
    const EncodedRecord extended = EncodeRecord({"S5", "Office", "03-555-123"}, kExtended);
    EXPECT_EQ(extended.size, 109u);
    EXPECT_EQ(extended.params[1].size, 0x68);
    expected.resize(104, 0);
    EXPECT_EQ(extended.params[1].value, expected);

    const EncodedRecord keyword = EncodeRecord({"S200", "", "AB", "1"}, kExtended);
    EXPECT_EQ(keyword.params[0].value, Hex("C8"));
    EXPECT_EQ(Bytes(keyword.params[1].value.begin() + 86, keyword.params[1].value.end()),
              testing::Concat({Hex("00 41 00 42"), Zeros(14)}));
}

TEST(EncodeRecord, GroupBitmaps) {
    const EncodedRecord normal = EncodeRecord({"G2", "Sales", "S1", "S9", "S64"}, kNormal);
    EXPECT_EQ(normal.mid, 0x7A);
    EXPECT_EQ(normal.size, 47u);
    EXPECT_EQ(normal.params[0].value, Hex("02"));
    const Bytes& value = normal.params[1].value;
    ASSERT_EQ(value.size(), 42u);
    EXPECT_EQ(Bytes(value.begin() + 34, value.end()), Hex("80 80 00 00 00 00 00 01"));

    const EncodedRecord extended = EncodeRecord({"G20", "", "S005", "S200"}, kExtended);
    EXPECT_EQ(extended.size, 64u);
    const Bytes& wide = extended.params[1].value;
    ASSERT_EQ(wide.size(), 59u);
    EXPECT_EQ(wide[34], 0x08);
    EXPECT_EQ(wide[58], 0x01);
}

TEST(EncodeRecord, MembersOutsideTheBitmapAreASoftwareError) {
    for (const Fields& group : {Fields{"G1", "x", "S65"}, Fields{"G1", "x", "S0"},
                                Fields{"G1", "x", "Sx"}, Fields{"G1", "x", "S"}}) {
        try {
            EncodeRecord(group, kNormal);
            ADD_FAILURE() << group[2];
        } catch (const DeviceEncodingError& error) {
            EXPECT_STREQ(error.what(), "Software ErrorInvalid bit field specified.");
        }
    }
    EXPECT_THROW(EncodeRecord({"G1", "x", "S201"}, kExtended), DeviceEncodingError);
    EXPECT_NO_THROW(EncodeRecord({"G1", "x", "S64"}, kNormal));
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
    EXPECT_EQ(w12.params[1].value, Hex("01 C8"));

    const EncodedRecord sender = EncodeRecord({"N", "HQ"}, kNormal);
    EXPECT_EQ(sender.mid, 0x61);
    EXPECT_EQ(sender.size, 36u);
    ASSERT_EQ(sender.params.size(), 1u);
    EXPECT_EQ(sender.params[0].pid, 0x66);
    EXPECT_EQ(sender.params[0].value, testing::Concat({Hex("00 48 00 51"), Zeros(30)}));
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
    EXPECT_NO_THROW(EncodeRecord({"S1", "", "", std::string(51, '1')}, kNormal));
    EXPECT_THROW(EncodeRecord({"S1", "", "123456789", "1"}, kExtended), DeviceEncodingError);
    EXPECT_THROW(EncodeRecord({"X1", "abc"}, kNormal), DeviceEncodingError);
    EXPECT_THROW(EncodeRecord({}, kNormal), DeviceEncodingError);
}

FrameRecord Message(std::uint8_t mid, std::vector<FrameParam> params) {
    FrameRecord message;
    message.mid = mid;
    message.params = std::move(params);
    return message;
}

TEST(DecodeMessage, FieldsInDeviceOrder) {
    const EncodedRecord office = EncodeRecord({"S5", "Office", "KW", "03-555-123"}, kExtended);
    EXPECT_EQ(DecodeMessage(Message(0x7C, office.params), true),
              (std::vector<Fields>{{"S5", "Office", "KW", "03-555-123"}}));
    // Without the extended format the keyword bytes are not read.
    EXPECT_EQ(DecodeMessage(Message(0x7C, office.params), false),
              (std::vector<Fields>{{"S5", "Office", "", "03-555-123"}}));

    const EncodedRecord group = EncodeRecord({"G2", "Sales", "S1", "S9", "S64"}, kNormal);
    EXPECT_EQ(DecodeMessage(Message(0x79, group.params), false),
              (std::vector<Fields>{{"G2", "Sales", "S1", "S9", "S64"}}));

    const std::vector<FrameParam> bindings = {
        FrameParam::Make(0x60, Hex("01")), FrameParam::Make(0x6D, Hex("02 03")),
        FrameParam::Make(0x60, Hex("02")), FrameParam::Make(0x6D, Hex("00 07")),
        FrameParam::Make(0x60, Hex("03")), FrameParam::Make(0x6D, Hex("01 05"))};
    EXPECT_EQ(DecodeMessage(Message(0x76, bindings), false),
              (std::vector<Fields>{{"W1", "G3"}, {"W2", ""}, {"W3", "S5"}}));

    const std::vector<FrameParam> sender = {
        FrameParam::Make(0x66, testing::Concat({Hex("00 48 00 51"), Zeros(30)}))};
    EXPECT_EQ(DecodeMessage(Message(0x60, sender), false), (std::vector<Fields>{{"N", "HQ"}}));

    // Registration answers and other messages hold no records.
    EXPECT_TRUE(DecodeMessage(Message(0x7D, office.params), true).empty());
}

TEST(DecodeMessage, FullWidthFaxDigitsReadBackAsAscii) {
    const NarrowCodePage saved = CurrentNarrowCodePage();
    SetNarrowCodePage(NarrowCodePage::Cp932);
    Bytes value = Hex("82 4F 82 52 81 7C 82 54");  // full-width 0 3 - 5
    value.resize(86, 0);
    const auto records = DecodeMessage(
        Message(0x7C, {FrameParam::Make(0x60, Hex("01")), FrameParam::Make(0x6F, value)}), false);
    SetNarrowCodePage(saved);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].back(), "03-5");
}

TEST(DecodeMessage, ShortOrRandomValuesNeverReadOutside) {
    // A value cut short simply lacks the later fields' bytes.
    const auto cut = DecodeMessage(
        Message(0x7C, {FrameParam::Make(0x60, {}), FrameParam::Make(0x6F, testing::Ascii("12"))}),
        true);
    EXPECT_EQ(cut, (std::vector<Fields>{{"S0", "", "", "12"}}));

    std::mt19937 random(99);
    const std::uint8_t mids[] = {0x7C, 0x79, 0x76, 0x60};
    const std::uint8_t pids[] = {0x60, 0x6F, 0x6E, 0x6D, 0x66, 0x0F};
    for (int round = 0; round < 3000; ++round) {
        std::vector<FrameParam> params(random() % 7);
        for (FrameParam& param : params) {
            Bytes value(random() % 120);
            for (auto& b : value) {
                b = static_cast<std::uint8_t>(random());
            }
            param = FrameParam::Make(pids[random() % std::size(pids)], value);
        }
        for (const std::uint8_t mid : mids) {
            for (const bool extended : {false, true}) {
                DecodeMessage(Message(mid, params), extended);
            }
        }
    }
}

// Capabilities written to a settings file for the duration of a test.
class Product {
  public:
    explicit Product(bool extended)
        : path_(std::filesystem::temp_directory_path() /
                ("dialvane-protocol-" + std::to_string(::getpid()) + ".ini")) {
        std::ofstream out(path_);
        if (extended) {
            out << "[FaxType0]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n";
        }
        out.close();
        info_ = std::make_unique<TProductInfo>(path_.string());
    }
    ~Product() {
        info_.reset();
        std::filesystem::remove(path_);
        SelectModeMessages(true);
    }
    const TProductInfo& Info() const { return *info_; }

  private:
    std::filesystem::path path_;
    std::unique_ptr<TProductInfo> info_;
};

TEST(DecodeDownload, RecordsPassTheStrictGate) {
    Product product(false);
    RecordTable table(product.Info());
    const EncodedRecord office = EncodeRecord({"S5", "Office", "", "03-555-123"}, kNormal);
    DecodeDownload(
        {Message(0x7C, office.params),
         Message(0x76, {FrameParam::Make(0x60, Hex("01")), FrameParam::Make(0x6D, Hex("00 00")),
                        FrameParam::Make(0x60, Hex("02")), FrameParam::Make(0x6D, Hex("01 05"))})},
        false, table);
    ASSERT_EQ(table.Count(), 2);
    EXPECT_EQ(table.At(1), (Fields{"S5", "Office", "", "03-555-123"}));
    // The unset button is not stored.
    EXPECT_EQ(table.At(2), (Fields{"W2", "S5"}));

    // A speed dial beyond the model's limit stops the download with the gate's message.
    const EncodedRecord beyond = EncodeRecord({"S61", "", "", "1"}, kNormal);
    try {
        DecodeDownload({Message(0x7C, beyond.params)}, false, table);
        ADD_FAILURE();
    } catch (const ValidationError& error) {
        EXPECT_STREQ(error.what(), "Invalid speed dial number.S61");
    }
}

TEST(EncodeTable, GroupMembersMustBeRegistered) {
    Product product(false);
    RecordTable table(product.Info());
    table.StoreRecord({"S1", "A", "1"});
    table.StoreRecord({"G1", "Team", "S1", "S2"});
    try {
        EncodeTable(table, kNormal);
        ADD_FAILURE();
    } catch (const ValidationError& error) {
        EXPECT_STREQ(error.what(), "Specified speed dial number is not registered.S2");
    }
}

// Generated dial lists that the strict gate accepts.
class DialListGenerator {
  public:
    DialListGenerator(unsigned seed, bool extended) : random_(seed), extended_(extended) {}

    std::vector<Fields> Make() {
        std::vector<Fields> records;
        const int speedLimit = extended_ ? 200 : 60;
        std::vector<int> speedDials = Pick(speedLimit, Below(speedLimit + 1));
        for (const int n : speedDials) {
            records.push_back({"S" + std::to_string(n), Text(16, kNameAlphabet),
                               extended_ ? Text(8, kKeywordAlphabet) : "", FaxNumber()});
        }
        if (!speedDials.empty()) {
            for (const int g : Pick(20, Below(21))) {
                Fields group = {"G" + std::to_string(g), Text(16, kNameAlphabet)};
                std::vector<int> members = speedDials;
                std::shuffle(members.begin(), members.end(), random_);
                members.resize(std::min<std::size_t>(members.size(), 1 + Below(20)));
                // Normal groups have room for speed dials 1..64 only.
                std::sort(members.begin(), members.end());
                for (const int m : members) {
                    group.push_back("S" + std::to_string(m));
                }
                records.push_back(group);
            }
        }
        const int quickLimit = extended_ ? 12 : 3;
        for (const int w : Pick(quickLimit, Below(quickLimit + 1))) {
            const bool toGroup = Below(2) == 0;
            records.push_back(
                {"W" + std::to_string(w), toGroup ? "G" + std::to_string(1 + Below(20))
                                                  : "S" + std::to_string(1 + Below(speedLimit))});
        }
        if (Below(4) != 0) {
            records.push_back({"N", Text(20, kNameAlphabet)});
        }
        return records;
    }

  private:
    static constexpr const char* kNameAlphabet[] = {"A", "z", "0",  " ",  "-",  "&",  ",", "\"",
                                                    "é", "ß", "あ", "ア", "漢", "字", "ｶ", "、"};
    static constexpr const char* kKeywordAlphabet[] = {"A", "k", "9", " ", "ｱ", "ﾝ", "~"};

    std::size_t Below(std::size_t n) { return random_() % n; }

    std::vector<int> Pick(int limit, std::size_t count) {
        std::vector<int> all(static_cast<std::size_t>(limit));
        for (int i = 0; i < limit; ++i) {
            all[static_cast<std::size_t>(i)] = i + 1;
        }
        std::shuffle(all.begin(), all.end(), random_);
        all.resize(count);
        return all;
    }

    template <std::size_t N>
    std::string Text(std::size_t maxUnits, const char* const (&alphabet)[N]) {
        std::string text;
        const std::size_t units = Below(maxUnits + 1);
        for (std::size_t i = 0; i < units; ++i) {
            text += alphabet[Below(N)];
        }
        return text;
    }

    std::string FaxNumber() {
        static constexpr std::string_view kFax = "0123456789 *#->_%ABCD";
        std::string text(1, kFax[Below(10)]);
        const std::size_t length = 1 + Below(50);
        for (std::size_t i = 1; i < length; ++i) {
            text += kFax[Below(kFax.size())];
        }
        return text;
    }

    std::mt19937 random_;
    bool extended_;
};

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
    Product product(extended);
    DialListGenerator generator(seed, extended);
    for (int round = 0; round < 60; ++round) {
        const std::vector<Fields> list = generator.Make();
        RecordTable sent(product.Info());
        for (const Fields& fields : list) {
            ASSERT_NO_THROW(sent.StoreRecord(fields)) << fields[0];
        }
        RecordFormat format{extended, false};
        DialRecord sender;
        for (int i = 1; sent.Read(i, sender); ++i) {
            if (sender[0] == "N" && sender.size() > 1 && IsLongSenderName(sender[1])) {
                format.longSender = true;
            }
        }
        const auto messages = EncodeTable(sent, format);
        RecordTable received(product.Info());
        ASSERT_NO_THROW(DecodeDownload(OverTheWire(messages), extended, received));
        ASSERT_EQ(Records(received), Records(sent)) << "round " << round;
    }
}

TEST(DeviceRecords, GeneratedDialListsSurviveTheRoundTripInTheNormalFormat) {
    RoundTrip(false, 1234);
}

TEST(DeviceRecords, GeneratedDialListsSurviveTheRoundTripInTheExtendedFormat) {
    RoundTrip(true, 5678);
}

TEST(DeviceRecords, AFullExtendedListSplitsIntoFramesOfWholeRecords) {
    Product product(true);
    RecordTable table(product.Info());
    for (int n = 1; n <= 200; ++n) {
        table.StoreRecord({"S" + std::to_string(n), "Name", "KW", "0123456789"});
    }
    const auto messages = EncodeTable(table, kExtended);
    ASSERT_EQ(messages.size(), 1u);
    const MessageFrames& speedDials = messages.at(0x7D);
    // 109 bytes a record: two per frame (2 + 218 in the first, 218 in the others).
    EXPECT_EQ(speedDials.Frames().size(), 100u);
    EXPECT_EQ(speedDials.First().jtype, 0x80);
    EXPECT_EQ(speedDials.First().len, 200u * 109u);
    EXPECT_EQ(speedDials.Frames().back().jtype, 0x40);
    EXPECT_EQ(speedDials.Frames()[50].jtype, 0x00);
    RecordTable received(product.Info());
    DecodeDownload(OverTheWire(messages), true, received);
    EXPECT_EQ(Records(received), Records(table));
}

}  // namespace
}  // namespace dialvane
