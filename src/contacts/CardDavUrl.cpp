#include "contacts/CardDavUrl.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>

#include <memory>

#include "contacts/CardDavClient.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

struct UrlFree {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlFree>;

UrlHandle ParseUrl(const std::string& text) {
    UrlHandle url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
        return nullptr;
    }
    return url;
}

std::string Part(CURLU* url, CURLUPart part, unsigned flags = 0) {
    char* value = nullptr;
    if (curl_url_get(url, part, &value, flags) != CURLUE_OK || value == nullptr) {
        return {};
    }
    std::string text(value);
    curl_free(value);
    return text;
}

bool IsLoopbackAddress(std::string host) {
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    in_addr v4{};
    if (inet_pton(AF_INET, host.c_str(), &v4) == 1) {
        return (ntohl(v4.s_addr) >> 24) == 127;
    }
    in6_addr v6{};
    return inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

// scheme://host:port, with the scheme's port when the URL names none.
std::string Origin(CURLU* url) {
    return Part(url, CURLUPART_SCHEME) + "://" + Part(url, CURLUPART_HOST) + ":" +
           Part(url, CURLUPART_PORT, CURLU_DEFAULT_PORT);
}

}  // namespace

bool IsCardDavUrl(std::string_view source) {
    const auto starts = [source](std::string_view prefix) {
        return source.size() >= prefix.size() &&
               EqualsIgnoreCase(source.substr(0, prefix.size()), prefix);
    };
    return starts("http://") || starts("https://");
}

std::string UrlForLog(std::string_view url) {
    std::string text(url);
    const std::size_t scheme = text.find("://");
    if (scheme == std::string::npos) {
        return text;
    }
    const std::size_t start = scheme + 3;
    const std::size_t end = std::min(text.find_first_of("/?#", start), text.size());
    const std::size_t at = text.rfind('@', end == 0 ? 0 : end - 1);
    if (at != std::string::npos && at >= start && at < end) {
        text.erase(start, at + 1 - start);
    }
    return text;
}

bool HasLoopbackHost(const std::string& url) {
    const UrlHandle parsed = ParseUrl(url);
    return parsed && IsLoopbackAddress(Part(parsed.get(), CURLUPART_HOST));
}

std::string CardDavRefusal(const CardDavSource& source) {
    const std::string shown = UrlForLog(source.url);
    const UrlHandle url = ParseUrl(source.url);
    if (!url || !IsCardDavUrl(source.url)) {
        return Text(Msg::CardDavBadUrl, shown);
    }
    if (!Part(url.get(), CURLUPART_USER).empty() || !Part(url.get(), CURLUPART_PASSWORD).empty()) {
        return Text(Msg::CardDavUrlHasCredentials, shown);
    }
    const bool plain = EqualsIgnoreCase(Part(url.get(), CURLUPART_SCHEME), "http");
    if (!source.user.empty() && plain && !IsLoopbackAddress(Part(url.get(), CURLUPART_HOST))) {
        return Text(Msg::CardDavPlainHttpRefused, shown);
    }
    return {};
}

std::string CardDavFollowRefusal(const CardDavSource& source, const std::string& from,
                                 const std::string& to) {
    CardDavSource next = source;
    next.url = to;
    if (std::string refusal = CardDavRefusal(next); !refusal.empty()) {
        return refusal;
    }
    const UrlHandle a = ParseUrl(from);
    const UrlHandle b = ParseUrl(to);
    if (!source.user.empty() && (!a || !b || Origin(a.get()) != Origin(b.get()))) {
        return Text(Msg::CardDavOtherServerRefused, UrlForLog(from), UrlForLog(to));
    }
    return {};
}

std::string ResolveHref(const std::string& base, const std::string& href) {
    const UrlHandle url = ParseUrl(base);
    if (!url || href.empty() ||
        curl_url_set(url.get(), CURLUPART_URL, href.c_str(), 0) != CURLUE_OK) {
        return {};
    }
    return Part(url.get(), CURLUPART_URL);
}

}  // namespace dialvane
