#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dialvane {

// Where the address book is and who reads it. The password comes from a password file or the
// terminal (see PasswordSource.h), never from the URL.
struct CardDavSource {
    std::string url;       // the address book, its owner's principal or the home set above it
    std::string user;      // empty: no authentication
    std::string password;  // with `user`
    std::string caFile;    // a private certificate authority; empty: the system's
};

// What one fetch may cost. The answer cap and the timeouts guard against a server that sends
// without end or never answers.
struct CardDavLimits {
    std::size_t maxAnswerBytes = std::size_t{64} * 1024 * 1024;
    long connectTimeoutSeconds = 20;
    long transferTimeoutSeconds = 300;
    // Set from another thread to end the fetch early (the window's Stop); it then fails.
    std::atomic<bool>* stop = nullptr;
};

struct CardDavFetch {
    bool ok = false;
    std::string error;  // when not ok: why, with the server's answer where it gave one
    std::vector<std::string> vcards;  // one vCard text per contact, in the server's order
};

// Whether a source argument names a server rather than a file.
bool IsCardDavUrl(std::string_view source);

// The URL as the log may record it: any user name or password in it removed.
std::string UrlForLog(std::string_view url);

// Why the source must not be contacted (a malformed URL, credentials in the URL, a password
// that would cross the network unencrypted); empty when it may. Decided without any lookup or
// connection.
std::string CardDavRefusal(const CardDavSource& source);

// Fetches every vCard of the address book: a REPORT addressbook-query on the URL, after a
// PROPFIND finds the address books when the URL is a principal or a home set. Nothing is sent
// when CardDavRefusal refuses.
CardDavFetch FetchCardDav(const CardDavSource& source, const CardDavLimits& limits = {});

}  // namespace dialvane
