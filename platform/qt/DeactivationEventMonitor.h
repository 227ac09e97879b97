#pragma once

#include "platform/GlobalEventMonitor.h"

#include <QObject>

#include <map>

namespace platform {

// For desktops that offer no global input monitor (Wayland): our windows losing activation
// to another application counts as a click in that application (an event of none).
class DeactivationEventMonitor : public QObject, public GlobalEventMonitor {
    Q_OBJECT
public:
    DeactivationEventMonitor();
    Token addMonitor(std::uint64_t mask, Callback callback) override;
    void removeMonitor(Token token) override;

protected:
    // Calls every installed monitor with `event`.
    void deliver(GlobalEvent *event);
    bool running() const { return !monitors.empty(); }

private:
    std::map<Token, std::pair<std::uint64_t, Callback>> monitors;
    Token nextToken = 1;
};

} // namespace platform
