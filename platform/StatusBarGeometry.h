#pragma once

#include <QPoint>
#include <QRect>

namespace platform {

// The screen rectangle of the status bar (a panel or dock window) at `point`, or an empty
// rectangle when no bar is there or the desktop cannot tell.
QRect statusBarAt(QPoint point);

} // namespace platform
