#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dialvane {

// One <response> of a WebDAV multistatus answer, with the properties this program asks for.
struct DavResponse {
    std::string href;
    std::string etag;
    std::string addressData;           // the vCard text, when the server sent it
    bool isAddressBook = false;        // resourcetype holds CARDDAV:addressbook
    std::string addressBookHomeSet;    // href inside CARDDAV:addressbook-home-set
    std::string currentUserPrincipal;  // href inside DAV:current-user-principal
};

// The request bodies: an addressbook-query for every vCard with its ETag (RFC 6352 8.6), and a
// PROPFIND for what tells a collection from a principal or a home set.
std::string AddressBookQueryBody();
std::string DiscoveryPropfindBody();

// Reads a 207 multistatus answer. The bytes come from a server the program does not control:
// entities are never expanded, nothing is loaded from the network, and only properties found
// in a propstat whose status is 200 count. nullopt with *error set when it is not such an
// answer.
std::optional<std::vector<DavResponse>> ParseMultistatus(std::string_view xml, std::string* error);

}  // namespace dialvane
