#pragma once

namespace platform {

// Whether the desktop shows a status bar right now: a StatusNotifierItem host on the
// session bus, or an XEmbed system tray on X11. Unlike QSystemTrayIcon::isSystemTrayAvailable(),
// asking leaves Qt's own choice open: Qt looks for a StatusNotifierItem host once per process
// and keeps that answer, so polling it while the desktop's status bar is starting would rule
// that status bar out for good.
bool statusBarShowing();

// Whether a StatusNotifierItem host is on the session bus right now.
bool statusNotifierHostShowing();

} // namespace platform
