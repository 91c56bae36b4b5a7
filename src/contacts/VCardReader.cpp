#include "contacts/VCardReader.h"

#include <string>

#include "contacts/ContactText.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

struct Property {
    std::string name;                // lower case, group prefix removed
    std::vector<std::string> types;  // lower case, from TYPE= and from 2.1's bare parameters
    std::string encoding, charset, valueType;  // lower case, empty when absent
    std::string value;                         // raw, before decoding
};

// The line's logical end: vCard folds long lines by starting the next one with a blank.
// Quoted-printable values of 2.1 continue instead after a line that ends in "=".
std::vector<std::string> UnfoldLines(std::string_view text) {
    std::vector<std::string> lines;
    bool softBreak = false;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (!lines.empty() && softBreak) {
            lines.back() += '\n';  // kept for the decoder, which joins the lines
            lines.back() += line;
        } else if (!lines.empty() && !line.empty() && (line[0] == ' ' || line[0] == '\t')) {
            lines.back().append(line.substr(1));
        } else {
            lines.emplace_back(line);
        }
        const std::string lower = LowerAscii(lines.back().substr(0, lines.back().find(':')));
        softBreak =
            lines.back().ends_with('=') && lower.find("quoted-printable") != std::string::npos;
    }
    return lines;
}

// Splits at `separator` outside double quotes.
std::vector<std::string> SplitOutsideQuotes(std::string_view text, char separator) {
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == separator && !quoted) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

bool ParseProperty(std::string_view line, Property& property) {
    bool quoted = false;
    size_t colon = std::string_view::npos;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon == std::string_view::npos) {
        return false;
    }
    property.value = std::string(line.substr(colon + 1));
    std::vector<std::string> parts = SplitOutsideQuotes(line.substr(0, colon), ';');
    std::string name = LowerAscii(Trim(parts[0]));
    if (const size_t dot = name.rfind('.'); dot != std::string::npos) {
        name.erase(0, dot + 1);  // item1.TEL
    }
    property.name = name;
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string parameter = LowerAscii(Trim(parts[i]));
        const size_t equals = parameter.find('=');
        if (equals == std::string::npos) {
            // 2.1 writes bare parameters: TEL;FAX;WORK, ;QUOTED-PRINTABLE
            if (parameter == "quoted-printable" || parameter == "base64" || parameter == "b") {
                property.encoding = parameter;
            } else {
                property.types.push_back(parameter);
            }
            continue;
        }
        const std::string key = Trim(parameter.substr(0, equals));
        std::string value = parameter.substr(equals + 1);
        std::erase(value, '"');
        if (key == "type") {
            for (std::string& type : SplitTrimmed(value, ",")) {
                property.types.push_back(std::move(type));
            }
        } else if (key == "encoding") {
            property.encoding = Trim(value);
        } else if (key == "charset") {
            property.charset = Trim(value);
        } else if (key == "value") {
            property.valueType = Trim(value);
        }
    }
    return true;
}

// The value as UTF-8: quoted-printable decoded, then converted from its charset.
std::string DecodedValue(const Property& property) {
    std::string bytes = property.encoding == "quoted-printable"
                            ? DecodeQuotedPrintable(property.value)
                            : property.value;
    if (!property.charset.empty() && property.charset != "utf-8") {
        if (std::optional<std::string> text = CharsetToUtf8(bytes, property.charset)) {
            return *text;
        }
    }
    return ValidUtf8(bytes);
}

// Splits a structured value at unescaped `separator`s and removes the backslash escapes of
// 3.0 and 4.0 (2.1 has none, but its values seldom hold a backslash).
std::vector<std::string> Components(std::string_view value, char separator) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            parts.back() += (next == 'n' || next == 'N') ? '\n' : next;
        } else if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

std::string Unescaped(std::string_view value) {
    return Components(value, '\0').front();
}

bool HasType(const Property& property, std::string_view type) {
    for (const std::string& t : property.types) {
        if (t == type) {
            return true;
        }
    }
    return false;
}

struct CardBuilder {
    Contact contact;
    std::string fullName, structuredName, organisation;

    void Add(const Property& property) {
        const std::string& name = property.name;
        if (name == "fn") {
            fullName = Trim(Unescaped(DecodedValue(property)));
        } else if (name == "n") {
            const std::vector<std::string> parts = Components(DecodedValue(property), ';');
            // family;given;additional;prefix;suffix -> "given family"
            const std::string family = Trim(parts[0]);
            const std::string given = parts.size() > 1 ? Trim(parts[1]) : std::string();
            structuredName = Trim(given + (given.empty() || family.empty() ? "" : " ") + family);
        } else if (name == "org") {
            organisation = Trim(Components(DecodedValue(property), ';').front());
        } else if (name == "categories") {
            for (const std::string& category : Components(DecodedValue(property), ',')) {
                if (std::string trimmed = Trim(category); !trimmed.empty()) {
                    contact.categories.push_back(std::move(trimmed));
                }
            }
        } else if (name == "uid") {
            contact.uid = Trim(Unescaped(DecodedValue(property)));
        } else if (name == "tel" && HasType(property, "fax")) {
            std::string number = Trim(DecodedValue(property));
            // 4.0: VALUE=uri with a tel: URI; what follows a ";" (ext=, phone-context=) stays,
            // so the number is refused rather than dialled without it.
            if (LowerAscii(number.substr(0, 4)) == "tel:") {
                number = Trim(number.substr(4));
            }
            if (!number.empty()) {
                contact.faxNumbers.push_back(std::move(number));
            }
        }
    }

    Contact Finish() {
        contact.name = !fullName.empty()         ? fullName
                       : !structuredName.empty() ? structuredName
                                                 : organisation;
        return std::move(contact);
    }
};

}  // namespace

std::vector<Contact> ReadVCardText(std::string_view text) {
    std::vector<Contact> contacts;
    std::optional<CardBuilder> card;
    int nested = 0;  // 2.1 AGENT cards inside a card are not contacts of their own
    for (const std::string& line : UnfoldLines(text)) {
        Property property;
        if (!ParseProperty(line, property)) {
            continue;
        }
        const std::string value = LowerAscii(Trim(property.value));
        if (property.name == "begin" && value == "vcard") {
            if (card) {
                ++nested;
            } else {
                card.emplace();
            }
        } else if (property.name == "end" && value == "vcard") {
            if (nested > 0) {
                --nested;
            } else if (card) {
                contacts.push_back(card->Finish());
                card.reset();
            }
        } else if (card && nested == 0) {
            card->Add(property);
        }
    }
    return contacts;
}

}  // namespace dialvane
