#include "platform/OutsideClickMonitor.h"

#include "platform/outsideclicks/DeactivationClickMonitor.h"
#ifndef REGISTRATORE_PORTABLE
#include "platform/WindowSystem.h"
#include "platform/outsideclicks/x11/ClickCatcher.h"
#include "platform/outsideclicks/x11/XInputClickMonitor.h"

#include <QGuiApplication>
#endif

namespace platform {

void OutsideClickMonitor::start()
{
    if (running)
        return;
    running = true;
    watch(true);
}

void OutsideClickMonitor::stop()
{
    if (!running)
        return;
    running = false;
    watch(false);
}

void OutsideClickMonitor::report()
{
    if (running)
        emit clickedOutside();
}

std::unique_ptr<OutsideClickMonitor> makeOutsideClickMonitor(std::function<QRect()> ownArea)
{
#ifndef REGISTRATORE_PORTABLE
    // On X11 the server tells every client of every click; through Xwayland, X11 clients see no
    // clicks on the session's Wayland surfaces, and a window of ours has to catch them.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (waylandSession())
            return std::make_unique<ClickCatcher>();
        if (auto x11 = XInputClickMonitor::create(std::move(ownArea)))
            return x11;
    }
#else
    (void)ownArea;
#endif
    return std::make_unique<DeactivationClickMonitor>();
}

} // namespace platform
