#pragma once

#include "platform/GlobalEventMonitor.h"

#include <QRect>

#include <functional>
#include <memory>

namespace platform {

// The best global monitor this desktop offers. `ownArea` is screen space that belongs to us
// although no window of ours covers it (the status icon inside the tray).
std::unique_ptr<GlobalEventMonitor> makeSystemEventMonitor(std::function<QRect()> ownArea);

} // namespace platform
