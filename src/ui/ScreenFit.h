#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace dialvane {

// Where a top-level window whose client area should be `wanted` goes so that the window with its
// `frame` (title bar and borders) lies within `available` (the screen less its panels): moved
// in first, then made smaller where it still does not fit, but not below `minimum` unless the
// area itself is smaller. Returns the client rectangle.
QRect FitClientRect(const QRect& wanted, const QSize& minimum, const QMargins& frame,
                    const QRect& available);

}  // namespace dialvane
