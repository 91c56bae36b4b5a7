#include "protocol/DeviceRecords.h"

#include <algorithm>

#include "data/CharConv.h"
#include "data/RecordKey.h"
#include "data/RecordTable.h"
#include "protocol/MessageCatalogue.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

[[noreturn]] void Fail(Msg detail, const std::string& what = {}) {
    throw DeviceEncodingError(Text(Msg::SoftwareError) + Text(detail) + what);
}

Bytes ToBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// Device text of `utf8` in a zero-filled field. The text and its terminator must fit: the strict
// gate limits every name to its field, so a text that does not fit is a fault, never cut.
Bytes TextField(const std::string& utf8, std::size_t fieldSize, const std::string& key) {
    const std::string text = ToDeviceText(utf8);
    if (text.size() > fieldSize) {
        Fail(Msg::DeviceFieldTooLong, key);
    }
    return ToBytes(PackField(text, fieldSize));
}

Bytes FaxNumberField(const std::string& utf8, NarrowCodePage page, const std::string& key) {
    const std::optional<std::string> narrow = Utf8ToNarrow(utf8, page);
    // One byte is left for the terminator.
    if (!narrow || narrow->size() >= kFaxNumberField || narrow->find('\0') != std::string::npos) {
        Fail(Msg::DeviceFieldTooLong, key);
    }
    return ToBytes(PackField(*narrow, kFaxNumberField));
}

std::uint8_t NumberByte(int number, const std::string& key) {
    if (number < 0 || number > 0xFF) {
        Fail(Msg::DeviceRecordUnknown, key);
    }
    return static_cast<std::uint8_t>(number);
}

FrameParam RecordNumberParam(const std::string& key) {
    char letter = '\0';
    int number = -1;
    if (!ParseRecordKey(key, letter, number) || number < 1) {
        Fail(Msg::DeviceRecordUnknown, key);
    }
    return FrameParam::Make(kPidRecordNumber, {NumberByte(number, key)});
}

const std::string& FieldOrEmpty(const std::vector<std::string>& fields, std::size_t index) {
    static const std::string kEmpty;
    return index < fields.size() ? fields[index] : kEmpty;
}

// Number of a group member: up to three characters after its letter, all digits.
int MemberNumber(const std::string& member) {
    const std::string digits = member.substr(std::min<std::size_t>(1, member.size()), 3);
    if (digits.empty()) {
        return 0;
    }
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return 0;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

EncodedRecord EncodeSpeedDial(const std::vector<std::string>& fields, const RecordFormat& format) {
    const std::string& key = fields[0];
    // With the keyword the fax number is field 4, without it the last field.
    const bool withKeyword = fields.size() >= 4;
    const std::string& fax = withKeyword ? fields[3] : FieldOrEmpty(fields, 2);
    Bytes value = FaxNumberField(fax, format.codePage, key);
    const Bytes name = TextField(FieldOrEmpty(fields, 1), kNameField, key);
    value.insert(value.end(), name.begin(), name.end());
    if (format.extended) {
        const Bytes keyword =
            TextField(withKeyword ? fields[2] : std::string(), kKeywordField, key);
        value.insert(value.end(), keyword.begin(), keyword.end());
    }
    EncodedRecord record;
    record.mid = kMidSpeedDialRegister;
    record.params = {RecordNumberParam(key), FrameParam::Make(kPidSpeedDialData, std::move(value))};
    return record;
}

EncodedRecord EncodeGroup(const std::vector<std::string>& fields, const RecordFormat& format) {
    const std::string& key = fields[0];
    Bytes value = TextField(FieldOrEmpty(fields, 1), kNameField, key);
    const std::size_t bitmapSize = format.extended ? kGroupBitmapExtended : kGroupBitmap;
    Bytes bitmap(bitmapSize, 0);
    for (std::size_t i = 2; i < fields.size(); ++i) {
        const int number = MemberNumber(fields[i]);
        if (number < 1 || static_cast<std::size_t>(number) > bitmapSize * 8) {
            Fail(Msg::InvalidBitField);
        }
        const auto bit = static_cast<std::size_t>(number - 1);
        bitmap[bit / 8] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
    }
    value.insert(value.end(), bitmap.begin(), bitmap.end());
    EncodedRecord record;
    record.mid = kMidGroupRegister;
    record.params = {RecordNumberParam(key), FrameParam::Make(kPidGroupData, std::move(value))};
    return record;
}

EncodedRecord EncodeBinding(const std::vector<std::string>& fields) {
    const std::string& key = fields[0];
    const std::string& target = FieldOrEmpty(fields, 1);
    Bytes value(2, 0);
    char letter = '\0';
    int number = -1;
    if (!target.empty() && ParseRecordKey(target, letter, number)) {
        value[0] = letter == 'G' ? 2 : letter == 'S' ? 1 : 0;
        value[1] = NumberByte(number, target);
    }
    EncodedRecord record;
    record.mid = kMidBindingRegister;
    record.params = {RecordNumberParam(key), FrameParam::Make(kPidBindingData, std::move(value))};
    return record;
}

EncodedRecord EncodeSender(const std::vector<std::string>& fields, const RecordFormat& format) {
    const std::size_t fieldSize = format.longSender ? kSenderFieldLong : kSenderField;
    Bytes value =
        fields.size() >= 2 ? TextField(fields[1], fieldSize, fields[0]) : Bytes(fieldSize, 0);
    EncodedRecord record;
    record.mid = kMidSenderRegister;
    record.params = {FrameParam::Make(kPidSenderData, std::move(value))};
    return record;
}

// `count` bytes of `value` from `offset`, as far as the value reaches.
std::string_view Slice(const Bytes& value, std::size_t offset, std::size_t count) {
    if (offset >= value.size()) {
        return {};
    }
    count = std::min(count, value.size() - offset);
    return std::string_view(reinterpret_cast<const char*>(value.data()) + offset, count);
}

std::uint8_t ByteAt(const Bytes& value, std::size_t offset) {
    return offset < value.size() ? value[offset] : 0;
}

std::string FaxNumberFrom(const Bytes& value, NarrowCodePage page) {
    std::string_view narrow = Slice(value, 0, kFaxNumberField);
    narrow = narrow.substr(0, narrow.find('\0'));
    return FoldToHalfWidth(NarrowToUtf8(narrow, page));
}

void AddParam(std::vector<std::string>& fields, const FrameParam& param, char letter, bool extended,
              NarrowCodePage page) {
    const Bytes& value = param.value;
    switch (param.pid) {
        case kPidRecordNumber:
            fields.push_back(letter + std::to_string(ByteAt(value, 0)));
            break;
        case kPidSpeedDialData:
            fields.push_back(FromDeviceText(Slice(value, kFaxNumberField, kNameField)));
            fields.push_back(extended ? FromDeviceText(Slice(value, kSpeedDialData, kKeywordField))
                                      : std::string());
            fields.push_back(FaxNumberFrom(value, page));
            break;
        case kPidGroupData: {
            fields.push_back(FromDeviceText(Slice(value, 0, kNameField)));
            const std::size_t bitmapSize = extended ? kGroupBitmapExtended : kGroupBitmap;
            for (std::size_t bit = 0; bit < bitmapSize * 8; ++bit) {
                if (ByteAt(value, kNameField + bit / 8) & (0x80 >> (bit % 8))) {
                    fields.push_back("S" + std::to_string(bit + 1));
                }
            }
            break;
        }
        case kPidBindingData: {
            const std::uint8_t kind = ByteAt(value, 0);
            const std::string number = std::to_string(ByteAt(value, 1));
            fields.push_back(kind == 1 ? "S" + number : kind == 2 ? "G" + number : std::string());
            break;
        }
        default:
            break;
    }
}

}  // namespace

std::uint8_t RegistrationMid(char keyLetter) {
    switch (keyLetter) {
        case 'S':
            return kMidSpeedDialRegister;
        case 'G':
            return kMidGroupRegister;
        case 'W':
            return kMidBindingRegister;
        case 'N':
            return kMidSenderRegister;
        default:
            return 0;
    }
}

bool IsLongSenderName(const std::string& name) {
    return ToDeviceText(name).size() - 2 > 32;
}

EncodedRecord EncodeRecord(const std::vector<std::string>& untrimmed, const RecordFormat& format) {
    // Trimmed as the strict gate trims, so a record the gate passed always encodes the same.
    std::vector<std::string> fields;
    fields.reserve(untrimmed.size());
    for (const std::string& field : untrimmed) {
        fields.push_back(Trim(field));
    }
    char letter = '\0';
    int number = -1;
    if (!fields.empty()) {
        ParseRecordKey(fields[0], letter, number);
    }
    EncodedRecord record;
    switch (letter) {
        case 'S':
            record = EncodeSpeedDial(fields, format);
            break;
        case 'G':
            record = EncodeGroup(fields, format);
            break;
        case 'W':
            record = EncodeBinding(fields);
            break;
        case 'N':
            record = EncodeSender(fields, format);
            break;
        default:
            // Only records of the four kinds pass the strict gate. Stopping here, before
            // anything is sent, keeps a partial list from replacing the device's.
            Fail(Msg::DeviceRecordUnknown, FieldOrEmpty(fields, 0));
    }
    for (const FrameParam& param : record.params) {
        record.size += ParamWireSize(param);
    }
    return record;
}

std::map<std::uint8_t, MessageFrames> EncodeTable(const RecordTable& table,
                                                  const RecordFormat& format) {
    std::map<std::uint8_t, MessageFrames> messages;
    DialRecord fields;
    for (int i = 1; table.Read(i, fields); ++i) {
        const EncodedRecord record = EncodeRecord(fields, format);
        auto it = messages.try_emplace(record.mid, record.mid).first;
        it->second.AppendUnit(record.params);
    }
    table.CheckGroupMembers();
    return messages;
}

void CheckEncodes(const RecordTable& table, const TProductInfo& product) {
    RecordFormat format;
    format.extended = !product.OneTouch();
    format.codePage = product.Rules().codePage;
    for (int i = 1; i <= table.Count(); ++i) {
        const DialRecord& record = table.At(i);
        if (record.size() >= 2 && record[0] == "N" && IsLongSenderName(record[1])) {
            format.longSender = true;
        }
    }
    EncodeTable(table, format);
}

std::vector<std::vector<std::string>> DecodeMessage(const FrameRecord& message, bool extended,
                                                    NarrowCodePage page) {
    std::vector<std::vector<std::string>> records;
    const std::vector<FrameParam>& params = message.params;
    if (message.mid == kMidSenderInfo) {
        for (const FrameParam& param : params) {
            records.push_back({"N", FromDeviceText(Slice(param.value, 0, param.value.size()))});
        }
        return records;
    }
    char letter = '\0';
    switch (message.mid) {
        case kMidSpeedDialInfo:
            letter = 'S';
            break;
        case kMidGroupInfo:
            letter = 'G';
            break;
        case kMidBindingInfo:
            letter = 'W';
            break;
        default:
            return records;
    }
    // Record number and data come in pairs; an unpaired last parameter still makes a record,
    // so the gate reports it instead of it being dropped unseen.
    for (std::size_t i = 0; i < params.size(); i += 2) {
        std::vector<std::string> fields;
        AddParam(fields, params[i], letter, extended, page);
        if (i + 1 < params.size()) {
            AddParam(fields, params[i + 1], letter, extended, page);
        }
        records.push_back(std::move(fields));
    }
    return records;
}

void DecodeDownload(const std::vector<FrameRecord>& messages, bool extended, RecordTable& table) {
    const NarrowCodePage page = table.Product().Rules().codePage;
    for (const FrameRecord& message : messages) {
        for (std::vector<std::string>& fields : DecodeMessage(message, extended, page)) {
            table.StoreRecord(std::move(fields));
        }
    }
}

}  // namespace dialvane
