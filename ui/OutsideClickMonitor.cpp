#include "ui/OutsideClickMonitor.h"

OutsideClickMonitor::OutsideClickMonitor(std::uint64_t mask, Handler handler,
                                         platform::GlobalEventMonitor &desktop)
    : mask(mask), handler(std::move(handler)), desktop(desktop)
{
}

OutsideClickMonitor::~OutsideClickMonitor()
{
    stop();
}

void OutsideClickMonitor::start()
{
    if (monitor != 0)
        return;
    monitor = desktop.addMonitor(mask, [this](platform::GlobalEvent *event) { handler(event); });
}

void OutsideClickMonitor::stop()
{
    if (monitor == 0)
        return;
    desktop.removeMonitor(monitor);
    monitor = 0;
}
