#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace dialvane {

// What a host name lookup found: an IPv4 address (network byte order), or the resolver's error
// code (EAI_...). The device protocol runs over IPv4 only, so nothing else is asked for.
struct HostLookup {
    std::optional<std::uint32_t> address;
    int error = 0;
};

// Looks one host name up; may block for as long as the system resolver takes.
using HostResolver = std::function<HostLookup(const std::string& name)>;

// The system's resolver (hosts file, DNS ...), IPv4 only.
HostLookup ResolveWithSystem(const std::string& name);

// A dotted IPv4 address as the address itself, without asking any resolver.
std::optional<std::uint32_t> NumericIPv4(const std::string& text);

// Whether `text` is an IPv6 address, bare or in brackets as in URLs.
bool IsIPv6Literal(std::string_view text);

// Whether `name` can be a host name at all (letters, digits and hyphens in dot-separated labels
// of 1 to 63 characters, 253 in all). Anything else is refused before a resolver sees it.
bool IsHostNameSyntax(std::string_view name);

// Runs `resolver` on a thread of its own and waits until it answers or `stopFd` becomes
// readable; nullopt when stopped. A stopped lookup finishes in the background and is dropped.
std::optional<HostLookup> LookUpUnlessStopped(const HostResolver& resolver, const std::string& name,
                                              int stopFd);

}  // namespace dialvane
