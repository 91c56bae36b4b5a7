#pragma once

#include <string>
#include <vector>

#include "contacts/Contact.h"
#include "contacts/ContactsCsvReader.h"

namespace dialvane {

enum class ContactFormat { VCard, Ldif, Csv, Unknown };

// By the file name's extension (.vcf/.vcard, .ldif/.ldi, .csv), in any case.
ContactFormat ContactFormatOf(const std::string& path);

// The largest address-book file read: far above any office's address book, and it is held in
// memory whole.
inline constexpr unsigned kContactFileLimitMb = 64;

struct ContactSourceOptions {
    std::string fromEncoding;  // iconv name; empty: UTF-8 unless a byte-order mark says otherwise
    std::vector<CsvColumnMapping> mappings;  // CSV only
};

struct ContactRead {
    std::vector<Contact> contacts;
    std::string error;  // the file cannot be read as asked; nothing in `contacts`
};

// Reads the address-book file with the reader its extension names.
ContactRead ReadContactFile(const std::string& path, const ContactSourceOptions& options);

}  // namespace dialvane
