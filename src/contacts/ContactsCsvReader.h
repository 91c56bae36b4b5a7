#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "contacts/Contact.h"

namespace dialvane {

// --map FIELD=HEADER: the column HEADER holds the contact's name (FIELD "name", preferred to
// every known name column), a fax number ("fax") or its groups ("group").
struct CsvColumnMapping {
    std::string field;
    std::string header;
};
// "name", "fax" or "group"; any case.
bool IsCsvMapField(std::string_view field);

struct CsvContacts {
    std::vector<Contact> contacts;
    std::vector<std::string> missingHeaders;  // mapped headers the header row does not have
};

// An address book exported as CSV (RFC 4180) with a header row, as Outlook and Google write it.
// Columns are found by header, compared without regard to ASCII case. Never throws.
CsvContacts ReadContactsCsv(std::string_view text,
                            const std::vector<CsvColumnMapping>& mappings = {});

}  // namespace dialvane
