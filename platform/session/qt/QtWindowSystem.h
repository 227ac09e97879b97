#pragma once

class QString;

namespace platform {

// The window system as Qt alone knows it (platform/WindowSystem.h): macOS and Windows always
// have a display, and Qt chooses how windows reach it. Run elsewhere without a display, Qt
// itself says so when the application object is made, and ends the process.
class QtWindowSystem {
public:
    static bool hasGraphicalSession(QString *) { return true; }
    static void preferPlaceableWindows(int, char **) {}
    static void windowSystemChosen() {}
    static bool waylandSession() { return false; }
};

} // namespace platform
