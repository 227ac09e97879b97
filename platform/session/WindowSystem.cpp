#include "platform/WindowSystem.h"

#ifdef REGISTRATORE_PORTABLE
#include "platform/session/qt/QtWindowSystem.h"
namespace platform {
using DesktopWindowSystem = QtWindowSystem;
}
#else
#include "platform/session/freedesktop/FreedesktopWindowSystem.h"
namespace platform {
using DesktopWindowSystem = FreedesktopWindowSystem;
}
#endif

namespace platform {

bool hasGraphicalSession(QString *error)
{
    return DesktopWindowSystem::hasGraphicalSession(error);
}

void preferPlaceableWindows(int argc, char **argv)
{
    DesktopWindowSystem::preferPlaceableWindows(argc, argv);
}

void windowSystemChosen()
{
    DesktopWindowSystem::windowSystemChosen();
}

bool waylandSession()
{
    return DesktopWindowSystem::waylandSession();
}

} // namespace platform
