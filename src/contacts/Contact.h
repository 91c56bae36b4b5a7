#pragma once

#include <string>
#include <vector>

namespace dialvane {

// One entry of an address book as a reader found it. Texts are valid UTF-8; nothing is checked
// against the dial list's rules yet.
struct Contact {
    std::string name;                     // the display name the source prefers; may be empty
    std::vector<std::string> faxNumbers;  // as written in the source, in source order
    std::vector<std::string> categories;  // group names, in source order
    std::string uid;                      // vCard UID, LDIF dn; empty when the source has none
};

}  // namespace dialvane
