#include "platform/StatusBarProbe.h"

#include <QSystemTrayIcon>

namespace platform {

bool statusBarShowing()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace platform
