#include "contacts/NameOrder.h"

#include <unicode/unistr.h>

#include "data/CharConv.h"
#include "support/TextUtil.h"

namespace dialvane {

std::string NameOrderKey(std::string_view utf8) {
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    std::string key;
    text.foldCase().toUTF8String(key);
    return key;
}

std::string CutToUnits(std::string_view utf8, size_t maxUnits) {
    const std::u16string units = Utf8ToUtf16(Trim(utf8));
    if (units.size() <= maxUnits) {
        return Trim(utf8);
    }
    size_t end = maxUnits;
    // Never between the two halves of a surrogate pair.
    if (end > 0 && units[end - 1] >= 0xD800 && units[end - 1] <= 0xDBFF) {
        --end;
    }
    return Trim(Utf16ToUtf8(units.substr(0, end)));
}

}  // namespace dialvane
