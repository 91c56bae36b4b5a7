#include "CardDavImport.h"

#include <ostream>

#include "CliCommands.h"
#include "contacts/CardDavClient.h"
#include "contacts/PasswordSource.h"
#include "contacts/VCardReader.h"
#include "support/Messages.h"

namespace dialvane {

std::optional<int> ReadCardDavContacts(const CliOptions& options, std::vector<Contact>& contacts,
                                       std::ostream& err) {
    constexpr const char* kPrefix = "dialvane-cli: ";
    CardDavSource source{options.file, options.user, "", options.caFile};
    // Refused before a password is asked for, so none is typed for a source that is not used.
    if (const std::string refusal = CardDavRefusal(source); !refusal.empty()) {
        err << kPrefix << refusal << '\n';
        return kExitUsage;
    }
    if (!source.user.empty()) {
        std::string error;
        std::optional<std::string> password =
            options.passwordFile.empty()
                ? AskPasswordOnTerminal(
                      Text(Msg::PasswordPrompt, source.user, UrlForLog(source.url)), &error)
                : ReadPasswordFile(options.passwordFile, &error);
        if (!password) {
            err << kPrefix << error << '\n';
            return kExitUsage;
        }
        source.password = std::move(*password);
    }
    const CardDavFetch fetch = FetchCardDav(source);
    if (!fetch.ok) {
        err << kPrefix << fetch.error << '\n';
        return kExitErrors;
    }
    for (const std::string& vcard : fetch.vcards) {
        for (Contact& contact : ReadVCardText(vcard)) {
            contacts.push_back(std::move(contact));
        }
    }
    return std::nullopt;
}

}  // namespace dialvane
