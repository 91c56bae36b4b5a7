#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/DialModel.h"
#include "data/ProductInfo.h"

namespace dialvane {

// One record in device field order: speed dial key, name, keyword, fax number (key, name, fax
// number without a keyword field); group key, name, members; binding key and target; "N" and
// the sender name.
using DialRecord = std::vector<std::string>;

// A record refused by the strict gate. The text is the message followed directly by the field
// that failed, ready for the general error box.
class ValidationError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kRecordTableSize = kMaxSpeedDials + kMaxGroups + kMaxBindings + 1;  // 233

// The exchange form of the dial list: everything sent to the MFP or read from it enters here
// through StoreRecord, which normalises and validates every record. The limits come from the
// product capabilities at the time a record is stored.
class RecordTable {
  public:
    explicit RecordTable(const TProductInfo& product);
    const TProductInfo& Product() const { return product_; }

    void Clear();
    int Count() const;  // stored records, 0..233
    // Record `index` (1-based); false when there is none.
    bool Read(int index, DialRecord& fields) const;
    const DialRecord& At(int index) const;  // 1..Count()

    // Normalises and validates the record and appends it. Returns false, without an error, for
    // an empty record, an empty key, a binding without a target and a full table. Throws
    // ValidationError for the first check that fails; the table is then unchanged.
    bool StoreRecord(std::vector<std::string> fields);

    // Clears the table and stores the whole editing model: speed dials, groups, bindings (W1..W12)
    // and the sender. A ValidationError leaves the records stored before the failing one.
    void BuildFromModel(const DialModel& model);

    // Every member of every group must be the key of a stored record.
    void CheckGroupMembers() const;

  private:
    void Normalise(std::vector<std::string>& fields) const;
    void ValidateSpeedDial(std::vector<std::string>& fields) const;
    void ValidateGroup(std::vector<std::string>& fields) const;
    bool ValidateBinding(std::vector<std::string>& fields) const;
    void ValidateSender(std::vector<std::string>& fields) const;
    void CheckDuplicate(const std::string& key) const;
    int SpeedDialLimit() const;
    int QuickDialLimit() const;

    const TProductInfo& product_;
    std::array<DialRecord, kRecordTableSize> records_;
    int count_ = 0;
};

}  // namespace dialvane
