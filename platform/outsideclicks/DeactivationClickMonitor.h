#pragma once

#include "platform/OutsideClickMonitor.h"

namespace platform {

// For desktops that tell no application of clicks meant for others (Wayland, macOS, Windows):
// our windows losing activation to another application counts as a click in that application.
class DeactivationClickMonitor : public OutsideClickMonitor {
    Q_OBJECT
public:
    DeactivationClickMonitor();

protected:
    void watch(bool) override {}
};

} // namespace platform
