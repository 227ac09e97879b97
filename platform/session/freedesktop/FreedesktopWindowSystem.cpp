#include "platform/session/freedesktop/FreedesktopWindowSystem.h"

#include <QString>

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

bool set(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}

bool choseXwayland = false;

} // namespace

bool FreedesktopWindowSystem::hasGraphicalSession(QString *error)
{
    if (set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM"))
        return true;
    if (error)
        *error =
            QStringLiteral("No graphical display found: start the recorder from a desktop session (neither "
                           "DISPLAY nor WAYLAND_DISPLAY is set).");
    return false;
}

bool FreedesktopWindowSystem::waylandSession()
{
    return set("WAYLAND_DISPLAY");
}

void FreedesktopWindowSystem::preferPlaceableWindows(int argc, char **argv)
{
    if (!waylandSession() || !set("DISPLAY") || set("QT_QPA_PLATFORM"))
        return;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return;
    }
    choseXwayland = ::setenv("QT_QPA_PLATFORM", "xcb", 1) == 0;
}

void FreedesktopWindowSystem::windowSystemChosen()
{
    if (choseXwayland)
        ::unsetenv("QT_QPA_PLATFORM");
    choseXwayland = false;
}

} // namespace platform
