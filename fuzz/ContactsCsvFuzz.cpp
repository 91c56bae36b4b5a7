// An address book exported as CSV, with and without a mapped column, through the import.
#include "ContactImport.h"
#include "contacts/ContactsCsvReader.h"

using namespace dialvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<CsvColumnMapping> mappings;
    if ((data[0] & 16) != 0) {
        mappings = {{"name", "Full"}, {"fax", "Telefax"}, {"group", "Labels"}};
    }
    fuzz::CheckImport(ReadContactsCsv(text, mappings).contacts, data[0]);
    return 0;
}
