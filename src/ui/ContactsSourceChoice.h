#pragma once

#include <string>

namespace dialvane {

// Where an import takes its contacts from: a file (asked for next) or an address book server.
struct ContactsSourceChoice {
    bool server = false;
    std::string url;
    std::string user;
    std::string password;
    // Keep the password for the next import, in a file of its own readable by the user alone.
    bool remember = false;
};

}  // namespace dialvane
