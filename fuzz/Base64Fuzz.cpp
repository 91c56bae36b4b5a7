// Base64 text from the device: decoding never reads or writes outside its buffers, always
// gives three bytes per four characters, and gives back what a standard encoder encoded.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "protocol/Base64.h"

using namespace dialvane;

namespace {

std::string Encode(const std::uint8_t* data, std::size_t size) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < size; i += 3) {
        const std::uint32_t group = (std::uint32_t{data[i]} << 16) |
                                    (i + 1 < size ? std::uint32_t{data[i + 1]} << 8 : 0) |
                                    (i + 2 < size ? std::uint32_t{data[i + 2]} : 0);
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += i + 1 < size ? kAlphabet[(group >> 6) & 63] : '=';
        out += i + 2 < size ? kAlphabet[group & 63] : '=';
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const std::optional<Bytes> decoded = Base64Decode(text)) {
        if (decoded->size() != Base64DecodedSize(size)) {
            fuzz::Broken("decoded length is not three bytes per four characters");
        }
    }
    if (size == 0) {
        return 0;
    }
    const std::optional<Bytes> back = Base64Decode(Encode(data, size));
    if (!back || back->size() < size || !std::equal(data, data + size, back->begin())) {
        fuzz::Broken("standard Base64 does not decode to its bytes");
    }
    for (std::size_t i = size; i < back->size(); ++i) {
        if ((*back)[i] != 0) {
            fuzz::Broken("padding decoded to something other than zero");
        }
    }
    return 0;
}
