#pragma once

#include "platform/StatusItem.h"

#include <QPoint>
#include <QRect>

#include <memory>

class QWindow;

namespace platform {

// The status bar as Qt alone knows it (platform/StatusBar.h): QSystemTrayIcon, the status bar of
// macOS and the notification area of Windows. Qt cannot tell where another application's window
// lies, and its Qt::Tool windows stay out of the taskbar there by themselves.
class QtStatusBar {
public:
    static bool showing();
    static std::unique_ptr<StatusItem> makeItem(bool statusBarFound);
    static QRect barAt(QPoint) { return {}; }
    static void keepOutOfTaskbar(QWindow *) {}
};

} // namespace platform
