#pragma once

#include <functional>

namespace platform {

// While it exists, runs `finish` when the display connection is lost (the X server or the
// Wayland compositor gone): the toolkit then ends the process at once, without returning to
// the event loop. `finish` runs at most once, before the process' static objects are
// destroyed, on the thread that ends the process; it must not touch widgets. One at a time.
class DisplayLossGuard {
public:
    explicit DisplayLossGuard(std::function<void()> finish);
    ~DisplayLossGuard();
    DisplayLossGuard(const DisplayLossGuard &) = delete;
    DisplayLossGuard &operator=(const DisplayLossGuard &) = delete;
};

} // namespace platform
