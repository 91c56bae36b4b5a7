#pragma once

// The window's helpers in one include: caption tables, text measuring and placement, widget
// factories, message boxes and file dialogs, and the conversions between Qt and standard texts.
#include <QString>
#include <string>

#include "support/Messages.h"
#include "ui/CaptionTables.h"
#include "ui/MessageBoxes.h"
#include "ui/TextPlacement.h"
#include "ui/WidgetFactories.h"

namespace dialvane {

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
inline QString Q(Msg id) {
    return QString::fromStdString(Text(id));
}
inline std::string S(const QString& text) {
    return text.toStdString();
}

}  // namespace dialvane
