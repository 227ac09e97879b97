#include "platform/StatusBarProbe.h"

#include <QSystemTrayIcon>

namespace platform {

bool statusBarShowing()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool statusNotifierHostShowing()
{
    return false;
}

} // namespace platform
