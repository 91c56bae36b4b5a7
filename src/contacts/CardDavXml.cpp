#include "contacts/CardDavXml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <climits>
#include <memory>

#include "support/Messages.h"

namespace dialvane {
namespace {

constexpr const char* kDav = "DAV:";
constexpr const char* kCardDav = "urn:ietf:params:xml:ns:carddav";

bool Is(const xmlNode* node, const char* ns, const char* name) {
    return node != nullptr && node->type == XML_ELEMENT_NODE && node->ns != nullptr &&
           xmlStrEqual(node->ns->href, BAD_CAST ns) && xmlStrEqual(node->name, BAD_CAST name);
}

const xmlNode* Child(const xmlNode* parent, const char* ns, const char* name) {
    for (const xmlNode* child = parent->children; child != nullptr; child = child->next) {
        if (Is(child, ns, name)) {
            return child;
        }
    }
    return nullptr;
}

// The element's own text and CDATA. Entity references are left out on purpose: libxml2's
// xmlNodeGetContent would expand them, which is the amplification a hostile answer hopes for.
std::string NodeText(const xmlNode* node) {
    std::string text;
    if (node == nullptr) {
        return text;
    }
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) &&
            child->content != nullptr) {
            text += reinterpret_cast<const char*>(child->content);
        }
    }
    return text;
}

std::string Trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.back())) {
        text.pop_back();
    }
    std::size_t start = 0;
    while (start < text.size() && blank(text[start])) {
        ++start;
    }
    return text.substr(start);
}

// "HTTP/1.1 200 OK" -> true. A propstat without a status is taken as found.
bool StatusIsOk(const xmlNode* propstat) {
    const xmlNode* status = Child(propstat, kDav, "status");
    if (status == nullptr) {
        return true;
    }
    const std::string line = Trimmed(NodeText(status));
    const std::size_t space = line.find(' ');
    return space != std::string::npos && line.compare(space + 1, 3, "200") == 0;
}

void ReadProp(const xmlNode* prop, DavResponse& response) {
    for (const xmlNode* p = prop->children; p != nullptr; p = p->next) {
        if (Is(p, kDav, "getetag")) {
            response.etag = Trimmed(NodeText(p));
        } else if (Is(p, kCardDav, "address-data")) {
            response.addressData = NodeText(p);
        } else if (Is(p, kDav, "resourcetype")) {
            response.isAddressBook = Child(p, kCardDav, "addressbook") != nullptr;
        } else if (Is(p, kCardDav, "addressbook-home-set")) {
            response.addressBookHomeSet = Trimmed(NodeText(Child(p, kDav, "href")));
        } else if (Is(p, kDav, "current-user-principal")) {
            response.currentUserPrincipal = Trimmed(NodeText(Child(p, kDav, "href")));
        }
    }
}

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

}  // namespace

std::string AddressBookQueryBody() {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<C:addressbook-query xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\">\n"
           "  <D:prop><D:getetag/><C:address-data/></D:prop>\n"
           "</C:addressbook-query>\n";
}

std::string DiscoveryPropfindBody() {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<D:propfind xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\">\n"
           "  <D:prop><D:resourcetype/><D:current-user-principal/>"
           "<C:addressbook-home-set/></D:prop>\n"
           "</D:propfind>\n";
}

std::optional<std::vector<DavResponse>> ParseMultistatus(std::string_view xml, std::string* error) {
    if (xml.size() > static_cast<std::size_t>(INT_MAX)) {
        *error = Text(Msg::CardDavAnswerNotMultistatus);
        return std::nullopt;
    }
    std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
    if (!context) {
        *error = Text(Msg::CardDavAnswerNotMultistatus);
        return std::nullopt;
    }
    // No XML_PARSE_NOENT (entities stay references), no DTD loading, no network, and no
    // messages on standard error: the failure is reported through *error.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    std::unique_ptr<xmlDoc, DocFree> doc(xmlCtxtReadMemory(
        context.get(), xml.data(), static_cast<int>(xml.size()), "answer.xml", nullptr, options));
    const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (root == nullptr) {
        const xmlError* failure = xmlCtxtGetLastError(context.get());
        std::string why = failure != nullptr && failure->message != nullptr
                              ? Trimmed(failure->message)
                              : std::string();
        *error = Text(Msg::CardDavAnswerNotXml, why);
        return std::nullopt;
    }
    if (!Is(root, kDav, "multistatus")) {
        *error = Text(Msg::CardDavAnswerNotMultistatus);
        return std::nullopt;
    }
    std::vector<DavResponse> responses;
    for (const xmlNode* node = root->children; node != nullptr; node = node->next) {
        if (!Is(node, kDav, "response")) {
            continue;
        }
        DavResponse response;
        response.href = Trimmed(NodeText(Child(node, kDav, "href")));
        for (const xmlNode* propstat = node->children; propstat != nullptr;
             propstat = propstat->next) {
            if (Is(propstat, kDav, "propstat") && StatusIsOk(propstat)) {
                if (const xmlNode* prop = Child(propstat, kDav, "prop")) {
                    ReadProp(prop, response);
                }
            }
        }
        responses.push_back(std::move(response));
    }
    return responses;
}

}  // namespace dialvane
