#pragma once

class QString;

namespace platform {

// X11 and Wayland sessions (platform/WindowSystem.h), told apart by their environment
// variables; on a Wayland session with Xwayland the windows go through Xwayland.
class FreedesktopWindowSystem {
public:
    static bool hasGraphicalSession(QString *error);
    static void preferPlaceableWindows(int argc, char **argv);
    static void windowSystemChosen();
    static bool waylandSession();
};

} // namespace platform
