#pragma once

#include "platform/StatusItem.h"

#include <QPoint>
#include <QRect>

#include <memory>

class QWindow;

namespace platform {

// Whether the desktop shows a status bar right now (on Linux: a StatusNotifierItem host on the
// session bus, or an XEmbed system tray). Unlike QSystemTrayIcon::isSystemTrayAvailable(),
// asking leaves Qt's own choice open: Qt looks for a StatusNotifierItem host once per process
// and keeps that answer, so polling it while the desktop's status bar is starting would rule
// that status bar out for good.
bool statusBarShowing();

// The application's item in the status bar. `statusBarFound`: whether Qt found a status bar;
// without one, the item has no button and only tells messages where the desktop can.
std::unique_ptr<StatusItem> makeStatusItem(bool statusBarFound);

// The screen rectangle of the status bar (a panel or dock window) at `point`, or an empty
// rectangle when no bar is there or the desktop cannot tell.
QRect statusBarAt(QPoint point);

// Asks the window manager to leave `window` out of the taskbar and the pager. Call it before
// each showing: window managers forget it when a window hides. Where the windowing system has
// no such request (Wayland; Qt::Tool windows on macOS and Windows stay out anyway), it does
// nothing.
void keepOutOfTaskbar(QWindow *window);

} // namespace platform
