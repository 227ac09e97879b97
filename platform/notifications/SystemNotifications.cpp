#include "platform/Notifications.h"

#ifdef REGISTRATORE_PORTABLE
#include "platform/notifications/StatusItemNotifications.h"
namespace platform {
using SystemNotifications = StatusItemNotifications; // QSystemTrayIcon's messages
}
#else
#include "platform/notifications/freedesktop/FreedesktopNotifications.h"
namespace platform {
using SystemNotifications = FreedesktopNotifications; // org.freedesktop.Notifications
}
#endif

namespace platform {

std::unique_ptr<Notifications> makeSystemNotifications(StatusItem &fallback)
{
    return std::make_unique<SystemNotifications>(fallback);
}

} // namespace platform
