// The multistatus reader on a server's answer. Every text it returns is a part of the input, so
// nothing read may be longer than the input itself: a longer text means an entity was expanded.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "contacts/CardDavXml.h"

using namespace dialvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto responses = ParseMultistatus(answer, &error);
    if (!responses) {
        if (error.empty()) {
            fuzz::Broken("a refused answer without a reason");
        }
        return 0;
    }
    for (const DavResponse& response : *responses) {
        for (const std::string* text :
             {&response.href, &response.etag, &response.addressData, &response.addressBookHomeSet,
              &response.currentUserPrincipal}) {
            if (text->size() > size) {
                fuzz::Broken("a text longer than the whole answer");
            }
        }
    }
    return 0;
}
