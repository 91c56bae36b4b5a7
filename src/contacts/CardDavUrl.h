#pragma once

#include <string>

namespace dialvane {

struct CardDavSource;

// Whether a request to `to`, reached from the source's URL by a redirect or an href of an
// answer, may carry the source's credentials: the same scheme, host and port, and no refusal.
// Without credentials only the refusal counts. Empty when it may; else why not.
std::string CardDavFollowRefusal(const CardDavSource& source, const std::string& from,
                                 const std::string& to);

// `href` of an answer read against the URL it came from ("/user/book/" -> "https://host/user/
// book/"); empty when it cannot be read as a URL.
std::string ResolveHref(const std::string& base, const std::string& href);

// Whether the URL's host is a loopback address written as such (127.0.0.0/8, ::1).
bool HasLoopbackHost(const std::string& url);

}  // namespace dialvane
