#pragma once

#include <string_view>
#include <vector>

#include "contacts/Contact.h"

namespace dialvane {

// Every vCard (2.1, 3.0 or 4.0) in the text, in order. The text is UTF-8 as far as it goes:
// values with a CHARSET parameter are converted from that charset, and anything invalid becomes
// U+FFFD. Takes FN, else N, else ORG as the name; every TEL typed FAX as a fax number; the
// CATEGORIES and the UID. Lines that are not understood are passed over; never throws.
std::vector<Contact> ReadVCardText(std::string_view text);

}  // namespace dialvane
