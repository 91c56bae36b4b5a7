#pragma once

#include <QStringList>
#include <string>
#include <vector>

#include "support/Messages.h"

class QWidget;

namespace dialvane {

// One entry of a window's caption table: the control (by objectName) and the message that
// becomes its caption. A comma list fills a grid's header row or a tab control's tabs.
enum class CaptionKind { Caption, CommaList };
struct CaptionEntry {
    const char* control;  // empty or nullptr: the window itself
    Msg message;
    CaptionKind kind = CaptionKind::Caption;
};

// Sets every caption of the window's table (picked by the window's objectName in upper case:
// "MAINFORM", "EDITFORM", "PROGFORM" ...): a window's title, a button's, label's, group
// box's or action's text, a grid's header row, a tab control's tab texts. A window whose name
// has no table is left as it is; a control missing from the window is skipped.
void ApplyCaptions(QWidget* window);

// Splits at every ",", trims blanks from each piece; an empty piece stays an empty string.
// A text ending in "," gives nothing beyond the last piece.
void SetCommaList(const std::string& text, std::vector<std::string>& strings);
QStringList CommaList(const std::string& text);

std::string TextBefore(const std::string& text, const std::string& delimiter);

}  // namespace dialvane
