#include "contacts/LdifReader.h"

#include <optional>
#include <string>

#include "contacts/ContactText.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

struct EntryBuilder {
    bool started = false, mailingList = false;
    std::string dn, cn, givenName, surname, organisation;
    std::vector<std::string> faxNumbers;

    void Add(const std::string& attribute, std::string value) {
        started = true;
        if (attribute == "dn") {
            dn = std::move(value);
        } else if (attribute == "cn") {
            cn = Trim(value);
        } else if (attribute == "givenname") {
            givenName = Trim(value);
        } else if (attribute == "sn") {
            surname = Trim(value);
        } else if (attribute == "o") {
            organisation = Trim(value);
        } else if (attribute == "facsimiletelephonenumber" || attribute == "fax") {
            if (std::string number = Trim(value); !number.empty()) {
                faxNumbers.push_back(std::move(number));
            }
        } else if (attribute == "objectclass" && LowerAscii(Trim(value)) == "groupofnames") {
            mailingList = true;
        }
    }

    // An entry is a contact when it has a dn; "version: 1" alone is not one.
    std::optional<Contact> Finish() {
        if (!started || dn.empty() || mailingList) {
            return std::nullopt;
        }
        Contact contact;
        const std::string given = Trim(givenName + " " + surname);
        contact.name = !cn.empty() ? cn : !given.empty() ? given : organisation;
        contact.faxNumbers = std::move(faxNumbers);
        contact.uid = dn;
        return contact;
    }
};

// "attr: value", "attr:: base64" or "attr:< url" (not followed: the value stays empty).
bool ParseLine(std::string_view line, std::string& attribute, std::string& value) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    attribute = LowerAscii(Trim(line.substr(0, colon)));
    if (const size_t options = attribute.find(';'); options != std::string::npos) {
        attribute.erase(options);  // cn;lang-de
    }
    std::string_view rest = line.substr(colon + 1);
    if (rest.starts_with(':')) {
        const std::optional<std::string> decoded = DecodeBase64Text(rest.substr(1));
        value = decoded ? ValidUtf8(*decoded) : std::string();
    } else if (rest.starts_with('<')) {
        value.clear();
    } else {
        value = ValidUtf8(Trim(rest));
    }
    return true;
}

}  // namespace

std::vector<Contact> ReadLdifText(std::string_view text) {
    // Logical lines first: a line starting with one space continues the one before.
    std::vector<std::string> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (!lines.empty() && !lines.back().empty() && line.starts_with(' ')) {
            lines.back().append(line.substr(1));
        } else {
            lines.emplace_back(line);
        }
    }
    std::vector<Contact> contacts;
    EntryBuilder entry;
    auto finish = [&] {
        if (std::optional<Contact> contact = entry.Finish()) {
            contacts.push_back(std::move(*contact));
        }
        entry = EntryBuilder();
    };
    for (const std::string& line : lines) {
        if (Trim(line).empty()) {
            finish();
            continue;
        }
        std::string attribute, value;
        if (line.starts_with('#') || !ParseLine(line, attribute, value)) {
            continue;
        }
        entry.Add(attribute, std::move(value));
    }
    finish();
    return contacts;
}

}  // namespace dialvane
