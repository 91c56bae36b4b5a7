#include "contacts/ContactsCsvReader.h"

#include <optional>

#include "contacts/ContactText.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

constexpr std::string_view kFaxHeaders[] = {"business fax", "home fax", "fax", "other fax"};
constexpr std::string_view kGroupSeparator = " ::: ";  // Google's multi-value separator

// RFC 4180 records: quoted fields may hold commas, line breaks and "" for one quote.
class CsvRecords {
  public:
    explicit CsvRecords(std::string_view text) : text_(text) {}

    std::optional<std::vector<std::string>> Next() {
        if (at_ >= text_.size()) {
            return std::nullopt;
        }
        std::vector<std::string> fields(1);
        bool quoted = false;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (quoted) {
                if (c == '"' && at_ < text_.size() && text_[at_] == '"') {
                    fields.back() += '"';
                    ++at_;
                } else if (c == '"') {
                    quoted = false;
                } else {
                    fields.back() += c;
                }
            } else if (c == '"') {
                quoted = true;
            } else if (c == ',') {
                fields.emplace_back();
            } else if (c == '\n') {
                break;
            } else if (c != '\r') {
                fields.back() += c;
            }
        }
        return fields;
    }

  private:
    std::string_view text_;
    size_t at_ = 0;
};

std::optional<size_t> ColumnOf(const std::vector<std::string>& headers, std::string_view name) {
    for (size_t i = 0; i < headers.size(); ++i) {
        if (headers[i] == LowerAscii(name)) {
            return i;
        }
    }
    return std::nullopt;
}

struct Columns {
    std::vector<size_t> fax;
    std::vector<std::pair<size_t, size_t>> typedPhones;  // "Phone N - Type", "Phone N - Value"
    std::vector<size_t> names;  // in order of preference, "First Name Last Name" apart
    std::optional<size_t> firstName, lastName, company;
    std::vector<size_t> groups;
};

Columns FindColumns(const std::vector<std::string>& headers,
                    const std::vector<CsvColumnMapping>& mappings,
                    std::vector<std::string>& missing) {
    Columns columns;
    for (const CsvColumnMapping& mapping : mappings) {
        const std::optional<size_t> column = ColumnOf(headers, Trim(mapping.header));
        if (!column) {
            missing.push_back(mapping.header);
            continue;
        }
        const std::string field = LowerAscii(mapping.field);
        (field == "name"  ? columns.names
         : field == "fax" ? columns.fax
                          : columns.groups)
            .push_back(*column);
    }
    for (std::string_view header : kFaxHeaders) {
        if (std::optional<size_t> column = ColumnOf(headers, header)) {
            columns.fax.push_back(*column);
        }
    }
    for (std::string_view header : {"display name", "name"}) {
        if (std::optional<size_t> column = ColumnOf(headers, header)) {
            columns.names.push_back(*column);
        }
    }
    columns.firstName = ColumnOf(headers, "first name");
    columns.lastName = ColumnOf(headers, "last name");
    columns.company = ColumnOf(headers, "company");
    for (std::string_view header : {"categories", "group membership"}) {
        if (std::optional<size_t> column = ColumnOf(headers, header)) {
            columns.groups.push_back(*column);
        }
    }
    for (size_t i = 0; i < headers.size(); ++i) {
        const std::string& header = headers[i];
        if (header.starts_with("phone ") && header.ends_with(" - type")) {
            const std::string valueHeader =
                header.substr(0, header.size() - std::string_view(" - type").size()) + " - value";
            if (std::optional<size_t> value = ColumnOf(headers, valueHeader)) {
                columns.typedPhones.emplace_back(i, *value);
            }
        }
    }
    return columns;
}

std::string Field(const std::vector<std::string>& record, std::optional<size_t> column) {
    return column && *column < record.size() ? Trim(record[*column]) : std::string();
}

Contact ContactOf(const std::vector<std::string>& record, const Columns& columns) {
    Contact contact;
    for (size_t column : columns.names) {
        if (contact.name.empty()) {
            contact.name = Field(record, column);
        }
    }
    if (contact.name.empty()) {
        contact.name =
            Trim(Field(record, columns.firstName) + " " + Field(record, columns.lastName));
    }
    if (contact.name.empty()) {
        contact.name = Field(record, columns.company);
    }
    auto addNumbers = [&](const std::string& value) {
        // Google puts several numbers of one type into one cell.
        for (std::string& number : SplitTrimmed(value, kGroupSeparator)) {
            contact.faxNumbers.push_back(std::move(number));
        }
    };
    for (size_t column : columns.fax) {
        addNumbers(Field(record, column));
    }
    for (const auto& [type, value] : columns.typedPhones) {
        if (LowerAscii(Field(record, type)).find("fax") != std::string::npos) {
            addNumbers(Field(record, value));
        }
    }
    for (size_t column : columns.groups) {
        const std::string value = Field(record, column);
        const bool google =
            value.find(kGroupSeparator) != std::string::npos || value.starts_with("* ");
        for (std::string& group : SplitTrimmed(value, google ? kGroupSeparator : ";")) {
            // Google's own groups ("* myContacts", "* starred") are not the office's.
            if (!group.starts_with("* ") && group != "*") {
                contact.categories.push_back(std::move(group));
            }
        }
    }
    return contact;
}

}  // namespace

bool IsCsvMapField(std::string_view field) {
    const std::string lower = LowerAscii(field);
    return lower == "name" || lower == "fax" || lower == "group";
}

CsvContacts ReadContactsCsv(std::string_view text, const std::vector<CsvColumnMapping>& mappings) {
    CsvContacts result;
    const std::string utf8 = ValidUtf8(text);
    CsvRecords records(utf8);
    std::optional<std::vector<std::string>> header = records.Next();
    if (!header) {
        for (const CsvColumnMapping& mapping : mappings) {
            result.missingHeaders.push_back(mapping.header);
        }
        return result;
    }
    for (std::string& name : *header) {
        name = LowerAscii(Trim(name));
    }
    const Columns columns = FindColumns(*header, mappings, result.missingHeaders);
    while (std::optional<std::vector<std::string>> record = records.Next()) {
        bool blank = true;
        for (const std::string& field : *record) {
            blank = blank && Trim(field).empty();
        }
        if (!blank) {
            result.contacts.push_back(ContactOf(*record, columns));
        }
    }
    return result;
}

}  // namespace dialvane
