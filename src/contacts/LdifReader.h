#pragma once

#include <string_view>
#include <vector>

#include "contacts/Contact.h"

namespace dialvane {

// The entries of an LDIF file as Thunderbird writes its address book: cn (else givenName and sn,
// else o) as the name, facsimileTelephoneNumber as the fax number, base64 "::" values and
// continuation lines. Mailing lists (groupOfNames) are not contacts. Never throws.
std::vector<Contact> ReadLdifText(std::string_view text);

}  // namespace dialvane
