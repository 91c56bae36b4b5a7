// A language file replacing the program's texts. Whatever it holds, every text the program
// then formats must still format with the arguments the English text takes.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "support/LanguageFile.h"
#include "support/Messages.h"

using namespace dialvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    const LanguageLoadResult result = ApplyLanguageText(contents);
    if (result.replaced < 0) {
        fuzz::Broken("negative count of replaced texts");
    }
    for (int i = 0; i < static_cast<int>(Msg::Count_); ++i) {
        const Msg id = static_cast<Msg>(i);
        if (ConversionSignature(Text(id)) != ConversionSignature(EnglishText(id))) {
            fuzz::Broken("a replaced text takes other arguments than the English one");
        }
    }
    return 0;
}
