#include "platform/SystemEventMonitor.h"

#include "platform/qt/DeactivationEventMonitor.h"

namespace platform {

std::unique_ptr<GlobalEventMonitor> makeSystemEventMonitor(std::function<QRect()>)
{
    return std::make_unique<DeactivationEventMonitor>();
}

} // namespace platform
