#pragma once

class QWindow;

namespace platform {

// Asks the window manager to leave `window` out of the taskbar and the pager. Call it before
// each showing: window managers forget it when a window hides. Where the windowing system has
// no such request (Wayland, macOS, Windows), it does nothing.
void keepOutOfTaskbar(QWindow *window);

} // namespace platform
