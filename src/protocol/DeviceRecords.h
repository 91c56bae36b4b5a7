#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/CharConv.h"
#include "protocol/Frame.h"

namespace dialvane {

class RecordTable;
class TProductInfo;

// Parameter identifiers of dial records.
inline constexpr std::uint8_t kPidRecordNumber = 0x60;
inline constexpr std::uint8_t kPidSpeedDialData = 0x6F;
inline constexpr std::uint8_t kPidGroupData = 0x6E;
inline constexpr std::uint8_t kPidBindingData = 0x6D;
inline constexpr std::uint8_t kPidSenderData = 0x66;

// Field sizes of the values.
inline constexpr std::size_t kFaxNumberField = 52;
inline constexpr std::size_t kNameField = 34;
inline constexpr std::size_t kKeywordField = 18;
inline constexpr std::size_t kSpeedDialData = kFaxNumberField + kNameField;            // 86
inline constexpr std::size_t kSpeedDialDataExtended = kSpeedDialData + kKeywordField;  // 104
inline constexpr std::size_t kGroupBitmap = 8;
inline constexpr std::size_t kGroupBitmapExtended = 25;
inline constexpr std::size_t kSenderField = 34;
inline constexpr std::size_t kSenderFieldLong = 42;

// How records are laid out towards this device.
struct RecordFormat {
    bool extended = false;    // keyword field and 25-byte group bitmap (quick-dial products)
    bool longSender = false;  // 42-byte sender field when sending
    NarrowCodePage codePage = NarrowCodePage::Windows1252;  // of the fax numbers
};

// Raised when a record cannot be put into its device layout (a programming fault, since every
// record passed the strict gate before). Its text starts with "Software Error".
class DeviceEncodingError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The parameters of one record and the bytes they take (e). They travel as one unit.
struct EncodedRecord {
    std::uint8_t mid = 0;  // the registration message of the record's kind
    std::vector<FrameParam> params;
    std::size_t size = 0;
};

// Registration MID for a key letter (S 0x7D, G 0x7A, W 0x77, N 0x61); 0 for any other letter.
std::uint8_t RegistrationMid(char keyLetter);

// Whether the sender name needs the long field: more than 16 UTF-16 code units.
bool IsLongSenderName(const std::string& name);

// One record of the table (fields in device order, key first) -> its parameters.
// Throws DeviceEncodingError when a value does not fit its layout.
EncodedRecord EncodeRecord(const std::vector<std::string>& untrimmed, const RecordFormat& format);

// Every record of the table, each appended as one unit to the message of its kind, then the
// group member check of the table (which throws its validation error). Keyed by MID.
std::map<std::uint8_t, MessageFrames> EncodeTable(const RecordTable& table,
                                                  const RecordFormat& format);

// Encodes the table as an upload to this product would, so a file check that passes promises
// an upload that encodes. Throws DeviceEncodingError, or the table's ValidationError from the
// group member check.
void CheckEncodes(const RecordTable& table, const TProductInfo& product);

// The field lists one received information message holds, in order, before validation.
// Messages other than the four information messages give nothing. Fax numbers are read in the
// code page.
std::vector<std::vector<std::string>> DecodeMessage(const FrameRecord& message, bool extended,
                                                    NarrowCodePage page);

// Stores the records of every received information message into the table through its strict
// gate (fax numbers in the code page of the table's product); the first validation error is
// thrown and stops the decoding.
void DecodeDownload(const std::vector<FrameRecord>& messages, bool extended, RecordTable& table);

}  // namespace dialvane
