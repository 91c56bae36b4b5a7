#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "support/Format.h"

namespace dialvane {

// Every user-visible text of the system has one identifier here. The English texts live in the
// .def files beside this header, one file per area; a language file may replace any of them.
#ifdef Q_MOC_RUN
// Qt's meta-object compiler cannot follow an include inside an enum; it needs only the name.
enum class Msg : int { Count_ };
#else
enum class Msg : int {
#define DIALVANE_MSG(id, text) id,
#include "support/messages/All.def"
#undef DIALVANE_MSG
    Count_
};
#endif

// The text in the current language (the English text unless a language file replaced it).
const std::string& Text(Msg id);
const char* EnglishText(Msg id);
std::string_view MsgName(Msg id);
std::optional<Msg> FindMsg(std::string_view name);

// Replaces the current text of one message; an empty optional restores the English text.
void SetMessageText(Msg id, std::optional<std::string> text);
void ResetMessageTexts();

// Text(id) with printf-style arguments.
template <typename... Args>
std::string Text(Msg id, const Args&... args) {
    return Format(Text(id), args...);
}

}  // namespace dialvane
