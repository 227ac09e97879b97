#include "platform/StatusBar.h"

#ifdef REGISTRATORE_PORTABLE
#include "platform/statusitem/qt/QtStatusBar.h"
namespace platform {
using DesktopStatusBar = QtStatusBar;
}
#else
#include "platform/statusitem/freedesktop/FreedesktopStatusBar.h"
namespace platform {
using DesktopStatusBar = FreedesktopStatusBar;
}
#endif

namespace platform {

bool statusBarShowing()
{
    return DesktopStatusBar::showing();
}

std::unique_ptr<StatusItem> makeStatusItem(bool statusBarFound)
{
    return DesktopStatusBar::makeItem(statusBarFound);
}

QRect statusBarAt(QPoint point)
{
    return DesktopStatusBar::barAt(point);
}

void keepOutOfTaskbar(QWindow *window)
{
    DesktopStatusBar::keepOutOfTaskbar(window);
}

} // namespace platform
