#pragma once

#include "platform/GlobalEventMonitor.h"

#include <cstdint>
#include <functional>

// The popover's outside-click monitor: owns one global monitor of the desktop for the event kinds
// in `mask`; while running, the handler gets every such event that goes to another application.
class OutsideClickMonitor {
public:
    using Handler = std::function<void(platform::GlobalEvent *event)>;

    OutsideClickMonitor(std::uint64_t mask, Handler handler, platform::GlobalEventMonitor &desktop);
    ~OutsideClickMonitor();
    OutsideClickMonitor(const OutsideClickMonitor &) = delete;
    OutsideClickMonitor &operator=(const OutsideClickMonitor &) = delete;

    // Installs the monitor. Starting a running monitor leaves it as it is and installs
    // nothing: there is never more than one monitor per instance.
    void start();
    // Removes the installed monitor, if any.
    void stop();

    bool isRunning() const { return monitor != 0; }
    std::uint64_t eventMask() const { return mask; }

private:
    platform::GlobalEventMonitor::Token monitor = 0;
    const std::uint64_t mask;
    const Handler handler;
    platform::GlobalEventMonitor &desktop;
};
