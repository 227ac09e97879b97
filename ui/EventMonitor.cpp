#include "ui/EventMonitor.h"

EventMonitor::EventMonitor(std::uint64_t mask, Handler handler, platform::GlobalEventMonitor &desktop)
    : mask(mask), handler(std::move(handler)), desktop(desktop)
{
}

EventMonitor::~EventMonitor()
{
    stop();
}

void EventMonitor::start()
{
    if (monitor != 0)
        return;
    monitor = desktop.addMonitor(mask, [this](platform::GlobalEvent *event) { handler(event); });
}

void EventMonitor::stop()
{
    if (monitor == 0)
        return;
    desktop.removeMonitor(monitor);
    monitor = 0;
}
