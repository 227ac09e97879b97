#include "platform/qt/DeactivationEventMonitor.h"

#include <QGuiApplication>

namespace platform {

DeactivationEventMonitor::DeactivationEventMonitor()
{
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationInactive)
            deliver(nullptr);
    });
}

void DeactivationEventMonitor::deliver(GlobalEvent *event)
{
    const auto current = monitors; // a callback may remove monitors
    for (const auto &[token, monitor] : current) {
        if (!event || (monitor.first & eventMaskOf(event->kind)))
            monitor.second(event);
    }
}

GlobalEventMonitor::Token DeactivationEventMonitor::addMonitor(std::uint64_t mask, Callback callback)
{
    if ((mask & (eventMaskOf(EventKind::LeftMouseDown) | eventMaskOf(EventKind::RightMouseDown))) == 0)
        callback = [](GlobalEvent *) {};
    monitors.emplace(nextToken, std::make_pair(mask, std::move(callback)));
    return nextToken++;
}

void DeactivationEventMonitor::removeMonitor(Token token)
{
    monitors.erase(token);
}

} // namespace platform
