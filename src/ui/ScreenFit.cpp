#include "ui/ScreenFit.h"

#include <algorithm>

namespace dialvane {

QRect FitClientRect(const QRect& wanted, const QSize& minimum, const QMargins& frame,
                    const QRect& available) {
    const QRect room = available.marginsRemoved(frame);
    if (room.isEmpty()) {
        return QRect(room.topLeft(), wanted.size().expandedTo(minimum));
    }
    const QSize size = wanted.size().expandedTo(minimum).boundedTo(room.size());
    const int left = std::clamp(wanted.left(), room.left(), room.right() + 1 - size.width());
    const int top = std::clamp(wanted.top(), room.top(), room.bottom() + 1 - size.height());
    return {QPoint(left, top), size};
}

}  // namespace dialvane
