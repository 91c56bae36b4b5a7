#include "contacts/CardDavClient.h"

#include <curl/curl.h>

#include <memory>

#include "contacts/CardDavUrl.h"
#include "contacts/CardDavXml.h"
#include "support/DiagnosticLog.h"
#include "support/Messages.h"

namespace dialvane {
namespace {

constexpr int kMostRedirects = 5;
constexpr long kMultiStatus = 207;

template <typename... Args>
void Log(LogCategory kind, std::string_view format, const Args&... args) {
    LogWriteF(LogCategory::LogProc_TCP, kind, 'L', format, args...);
}

struct EasyFree {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct Answer {
    long status = 0;
    std::string statusText;  // "401 Unauthorized", or the code alone when the server gives no text
    std::string redirect;
    std::string body;
    std::string error;  // the transfer failed (no connection, too large, timeout ...)
};

struct Receiver {
    std::string* body;
    std::size_t limit;
    bool tooLarge = false;
};

// Refusing here, while the bytes arrive, keeps an endless answer from filling the memory; the
// Content-Length check (CURLOPT_MAXFILESIZE) only catches servers that announce their size.
std::size_t ReceiveBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* receiver = static_cast<Receiver*>(user);
    const std::size_t bytes = size * count;
    if (bytes > receiver->limit - receiver->body->size()) {
        receiver->tooLarge = true;
        return 0;
    }
    receiver->body->append(data, bytes);
    return bytes;
}

std::size_t ReceiveHeader(char* data, std::size_t size, std::size_t count, void* user) {
    const std::size_t bytes = size * count;
    std::string line(data, bytes);
    if (line.rfind("HTTP/", 0) == 0) {
        while (!line.empty() &&
               (line.back() == '\r' || line.back() == '\n' || line.back() == ' ')) {
            line.pop_back();
        }
        const std::size_t space = line.find(' ');
        *static_cast<std::string*>(user) =
            space == std::string::npos ? line : line.substr(space + 1);
    }
    return bytes;
}

// libcurl asks about once a second even while a server stays silent.
int StopRequested(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

class Session {
  public:
    Session(const CardDavSource& source, const CardDavLimits& limits)
        : source_(source), limits_(limits), curl_(curl_easy_init()) {}

    Answer Send(const std::string& url, const char* method, const std::string& body,
                const char* depth) {
        Answer answer;
        if (!curl_) {
            answer.error = Text(Msg::CardDavConnectFailed, UrlForLog(url), "libcurl");
            return answer;
        }
        CURL* curl = curl_.get();
        curl_easy_reset(curl);
        std::unique_ptr<curl_slist, ListFree> headers;
        for (const std::string& header :
             {std::string("Depth: ") + depth,
              std::string("Content-Type: application/xml; charset=utf-8"),
              std::string("Expect:")}) {
            curl_slist* grown = curl_slist_append(headers.get(), header.c_str());
            if (grown != nullptr) {
                static_cast<void>(headers.release());
                headers.reset(grown);
            }
        }
        Receiver receiver{&answer.body, limits_.maxAnswerBytes};
        char curlError[CURL_ERROR_SIZE] = {};
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits_.connectTimeoutSeconds);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits_.transferTimeoutSeconds);
        if (limits_.stop != nullptr) {
            curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, StopRequested);
            curl_easy_setopt(curl, CURLOPT_XFERINFODATA, limits_.stop);
            curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        }
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!source_.caFile.empty()) {
            curl_easy_setopt(curl, CURLOPT_CAINFO, source_.caFile.c_str());
        }
        // A proxy would see a plain-http password on its way to this very computer.
        if (HasLoopbackHost(url)) {
            curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
        }
        if (!source_.user.empty()) {
            curl_easy_setopt(curl, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
            curl_easy_setopt(curl, CURLOPT_USERNAME, source_.user.c_str());
            curl_easy_setopt(curl, CURLOPT_PASSWORD, source_.password.c_str());
        }
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(limits_.maxAnswerBytes));
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, ReceiveBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &receiver);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, ReceiveHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, &answer.statusText);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, curlError);

        Log(LogCategory::LogFunc_Info, "CardDAV %s %s (Depth %s)", method, UrlForLog(url), depth);
        const CURLcode code = curl_easy_perform(curl);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
        if (receiver.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
            answer.error = Text(Msg::CardDavAnswerTooLarge, UrlForLog(url),
                                limits_.maxAnswerBytes / (1024 * 1024));
        } else if (code != CURLE_OK) {
            answer.error = Text(Msg::CardDavConnectFailed, UrlForLog(url),
                                curlError[0] != '\0' ? curlError : curl_easy_strerror(code));
        } else {
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
            char* location = nullptr;
            if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location) == CURLE_OK &&
                location != nullptr) {
                answer.redirect = location;
            }
            if (answer.statusText.empty()) {
                answer.statusText = std::to_string(answer.status);
            }
        }
        if (answer.error.empty()) {
            Log(LogCategory::LogFunc_Info, "CardDAV answer %s, %u bytes", answer.statusText,
                answer.body.size());
        } else {
            Log(LogCategory::LogFunc_Error, "CardDAV %s", answer.error);
        }
        return answer;
    }

    // Send, following redirects the source's credentials may go to. `url` becomes the URL
    // that answered, so that the hrefs of the answer are read against it.
    std::optional<std::vector<DavResponse>> Multistatus(std::string& url, const char* method,
                                                        const std::string& body, const char* depth,
                                                        std::string* error) {
        for (int redirects = 0;; ++redirects) {
            Answer answer = Send(url, method, body, depth);
            if (!answer.error.empty()) {
                *error = answer.error;
                return std::nullopt;
            }
            if (answer.status >= 300 && answer.status < 400 && !answer.redirect.empty() &&
                redirects < kMostRedirects) {
                if (std::string refusal = CardDavFollowRefusal(source_, url, answer.redirect);
                    !refusal.empty()) {
                    *error = refusal;
                    return std::nullopt;
                }
                url = answer.redirect;
                continue;
            }
            if (answer.status != kMultiStatus) {
                *error = Text(Msg::CardDavServerAnswered, UrlForLog(url), answer.statusText);
                return std::nullopt;
            }
            std::string why;
            std::optional<std::vector<DavResponse>> responses = ParseMultistatus(answer.body, &why);
            if (!responses) {
                *error = Text(Msg::CardDavAnswerUnreadable, UrlForLog(url), why);
            }
            return responses;
        }
    }

  private:
    const CardDavSource& source_;
    CardDavLimits limits_;
    std::unique_ptr<CURL, EasyFree> curl_;
};

// The address books at `url`: itself when it is one, else those of the home set it is or
// names, found through the principal when needed.
std::optional<std::vector<std::string>> FindAddressBooks(Session& session,
                                                         const CardDavSource& source,
                                                         std::string url, std::string* error) {
    // Collection, principal, home set: three steps reach the books from any of them.
    for (int step = 0; step < 3; ++step) {
        const char* depth = step == 0 ? "0" : "1";
        std::optional<std::vector<DavResponse>> found =
            session.Multistatus(url, "PROPFIND", DiscoveryPropfindBody(), depth, error);
        if (!found) {
            return std::nullopt;
        }
        std::vector<std::string> books;
        std::string next;
        for (const DavResponse& response : *found) {
            const std::string href = ResolveHref(url, response.href);
            if (response.isAddressBook && !href.empty()) {
                books.push_back(href);
            } else if (!response.addressBookHomeSet.empty()) {
                next = ResolveHref(url, response.addressBookHomeSet);
            } else if (next.empty() && !response.currentUserPrincipal.empty()) {
                next = ResolveHref(url, response.currentUserPrincipal);
            }
        }
        if (!books.empty()) {
            for (const std::string& book : books) {
                if (std::string refusal = CardDavFollowRefusal(source, url, book);
                    !refusal.empty()) {
                    *error = refusal;
                    return std::nullopt;
                }
            }
            return books;
        }
        if (next.empty() || next == url) {
            if (step > 0) {
                break;
            }
            next = url;  // a principal that is its own home set: its children are the books
        }
        if (std::string refusal = CardDavFollowRefusal(source, url, next); !refusal.empty()) {
            *error = refusal;
            return std::nullopt;
        }
        url = std::move(next);
    }
    *error = Text(Msg::CardDavNoAddressBook, UrlForLog(source.url));
    return std::nullopt;
}

}  // namespace

CardDavFetch FetchCardDav(const CardDavSource& source, const CardDavLimits& limits) {
    CardDavFetch fetch;
    Log(LogCategory::LogFunc_Start, "CardDAV address book %s", UrlForLog(source.url));
    fetch.error = CardDavRefusal(source);
    if (!fetch.error.empty()) {
        Log(LogCategory::LogFunc_Error, "CardDAV %s", fetch.error);
        return fetch;
    }
    Session session(source, limits);
    std::optional<std::vector<std::string>> books =
        FindAddressBooks(session, source, source.url, &fetch.error);
    if (!books) {
        return fetch;
    }
    for (std::string book : *books) {
        std::optional<std::vector<DavResponse>> cards =
            session.Multistatus(book, "REPORT", AddressBookQueryBody(), "1", &fetch.error);
        if (!cards) {
            return fetch;
        }
        for (DavResponse& card : *cards) {
            if (!card.addressData.empty()) {
                fetch.vcards.push_back(std::move(card.addressData));
            }
        }
    }
    Log(LogCategory::LogFunc_End, "CardDAV %u vCards", fetch.vcards.size());
    fetch.ok = true;
    return fetch;
}

}  // namespace dialvane
