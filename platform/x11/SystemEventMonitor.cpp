#include "platform/SystemEventMonitor.h"

#include "platform/DesktopSession.h"
#include "platform/qt/ClickCatcherEventMonitor.h"
#include "platform/qt/DeactivationEventMonitor.h"
#include "platform/x11/X11GlobalEventMonitor.h"

#include <QGuiApplication>

namespace platform {

std::unique_ptr<GlobalEventMonitor> makeSystemEventMonitor(std::function<QRect()> ownArea)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        // Through Xwayland, X11 clients see no clicks on the session's Wayland surfaces.
        if (waylandSession())
            return std::make_unique<ClickCatcherEventMonitor>();
        if (auto x11 = X11GlobalEventMonitor::create(std::move(ownArea)))
            return x11;
    }
    return std::make_unique<DeactivationEventMonitor>();
}

} // namespace platform
