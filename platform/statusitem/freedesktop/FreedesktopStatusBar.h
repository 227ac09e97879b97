#pragma once

#include "platform/StatusItem.h"

#include <QPoint>
#include <QRect>

#include <memory>

class QWindow;

namespace platform {

// The status bars of Linux desktops (platform/StatusBar.h): StatusNotifierItem hosts on the
// session bus (KDE, Xfce, GNOME's AppIndicator extension) and XEmbed trays on X11, and the X11
// window properties that find a panel and keep a window out of the taskbar.
class FreedesktopStatusBar {
public:
    static bool showing();
    // A StatusNotifierItem of our own where a host shows one, else Qt's tray icon (XEmbed).
    static std::unique_ptr<StatusItem> makeItem(bool statusBarFound);
    // A dock window, or a window with struts, at `point`; empty without X11.
    static QRect barAt(QPoint point);
    // _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER; nothing without X11.
    static void keepOutOfTaskbar(QWindow *window);
};

} // namespace platform
