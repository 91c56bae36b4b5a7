// Address-book text through the LDIF reader and the import into a dial list.
#include "ContactImport.h"
#include "contacts/LdifReader.h"

using namespace dialvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    fuzz::CheckImport(ReadLdifText(text), data[0]);
    return 0;
}
