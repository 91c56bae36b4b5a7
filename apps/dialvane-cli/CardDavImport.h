#pragma once

#include <iosfwd>
#include <optional>
#include <vector>

#include "CliOptions.h"
#include "contacts/Contact.h"

namespace dialvane {

// The contacts of the CardDAV address book the import's SOURCE names, with --user and the
// password from --password-file or the terminal. On failure the reason is on `err` and the
// exit status is returned: 2 for what the command line or the password file got wrong, 1 for
// what the server answered.
std::optional<int> ReadCardDavContacts(const CliOptions& options, std::vector<Contact>& contacts,
                                       std::ostream& err);

}  // namespace dialvane
