#pragma once

#include <string>
#include <vector>

#include "contacts/Contact.h"
#include "contacts/DiallingRules.h"
#include "data/CharConv.h"
#include "data/TextRules.h"

namespace dialvane {

// One speed dial an import brings.
struct ImportedDial {
    std::string contactName;          // as the source has it
    std::string found;                // the fax number as the source has it
    std::string number;               // as the MFP will dial it
    std::string name;                 // the address name: cut to fit, " (n)" for the n-th number
    std::vector<std::string> groups;  // the names of its groups, cut to fit
};

// Something the import leaves out, and why.
struct SkippedItem {
    std::string name;  // the contact's (or the category's) name
    std::string reason;
};

struct ImportPlan {
    std::vector<ImportedDial> dials;      // in name order
    std::vector<std::string> groupNames;  // in name order, each once
    std::vector<SkippedItem> skipped;
    std::vector<std::string> withoutFax;  // names of the contacts without a fax number
    size_t contactsUsed = 0;              // contacts that gave at least one speed dial
    bool needsCountryCode = false;        // an international number met an unset COUNTRY_CODE
};

// The contacts as speed dials and groups: every dialable fax number one speed dial, named after
// its contact; a contact whose name the list cannot hold (the name rule, or the encoding of the
// file written) is skipped, as is each number that cannot be dialled.
ImportPlan PlanImport(const std::vector<Contact>& contacts, const DiallingSettings& dialling,
                      FileEncoding fileEncoding, const TextRules& rules);

}  // namespace dialvane
