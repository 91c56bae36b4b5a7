#include "data/TextRules.h"

namespace dialvane {

TextRules TextRulesForLanguage(std::string_view lang) {
    const bool japanese = lang == "JPN";
    return TextRules{japanese ? NarrowCodePage::Cp932 : NarrowCodePage::Windows1252, japanese};
}

}  // namespace dialvane
