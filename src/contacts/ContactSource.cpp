#include "contacts/ContactSource.h"

#include <filesystem>

#include "contacts/ContactText.h"
#include "contacts/LdifReader.h"
#include "contacts/VCardReader.h"
#include "data/CharConv.h"
#include "support/FileUtil.h"
#include "support/Messages.h"

namespace dialvane {

ContactFormat ContactFormatOf(const std::string& path) {
    const std::string extension = LowerAscii(std::filesystem::path(path).extension().string());
    if (extension == ".vcf" || extension == ".vcard") {
        return ContactFormat::VCard;
    }
    if (extension == ".ldif" || extension == ".ldi") {
        return ContactFormat::Ldif;
    }
    if (extension == ".csv") {
        return ContactFormat::Csv;
    }
    return ContactFormat::Unknown;
}

ContactRead ReadContactFile(const std::string& path, const ContactSourceOptions& options) {
    ContactRead read;
    const ContactFormat format = ContactFormatOf(path);
    if (format == ContactFormat::Unknown) {
        read.error = Text(Msg::ImportUnknownSource, path);
        return read;
    }
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > std::uintmax_t{kContactFileLimitMb} << 20) {
        read.error = Text(Msg::ImportSourceTooLarge, path, kContactFileLimitMb);
        return read;
    }
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        read.error = Text(Msg::FileCannotRead) + "(" + path + ")";
        return read;
    }
    const std::optional<std::string> text = SourceBytesToUtf8(*bytes, options.fromEncoding);
    if (!text) {
        read.error = Text(Msg::ImportBadEncoding, path, options.fromEncoding);
        return read;
    }
    switch (format) {
        case ContactFormat::VCard:
            read.contacts = ReadVCardText(*text);
            break;
        case ContactFormat::Ldif:
            read.contacts = ReadLdifText(*text);
            break;
        case ContactFormat::Csv: {
            CsvContacts csv = ReadContactsCsv(*text, options.mappings);
            if (!csv.missingHeaders.empty()) {
                read.error = Text(Msg::ImportMissingColumn, path, csv.missingHeaders.front());
                return read;
            }
            read.contacts = std::move(csv.contacts);
            break;
        }
        case ContactFormat::Unknown:
            break;
    }
    return read;
}

}  // namespace dialvane
