#pragma once

#include "platform/GlobalEventMonitor.h"

#include <QObject>

#include <map>

namespace platform {

// For desktops that offer no global input monitor (Wayland): our windows losing activation
// to another application counts as a click in that application.
class DeactivationEventMonitor : public QObject, public GlobalEventMonitor {
    Q_OBJECT
public:
    DeactivationEventMonitor();
    Token addMonitor(std::uint64_t mask, Callback callback) override;
    void removeMonitor(Token token) override;

private:
    std::map<Token, Callback> monitors;
    Token nextToken = 1;
};

} // namespace platform
