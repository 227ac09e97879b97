#pragma once

#include <QObject>
#include <QPoint>

#include <cstdint>
#include <functional>

namespace platform {

// Event kinds, as bit numbers of an event mask.
enum class EventKind { LeftMouseDown = 1, RightMouseDown = 3 };

constexpr std::uint64_t eventMaskOf(EventKind kind)
{
    return std::uint64_t{1} << static_cast<int>(kind);
}

// A mouse event that went to another application.
class GlobalEvent : public QObject {
    Q_OBJECT
public:
    GlobalEvent() = default;
    GlobalEvent(EventKind kind, QPoint globalPosition) : kind(kind), globalPosition(globalPosition) {}
    EventKind kind = EventKind::LeftMouseDown;
    QPoint globalPosition;
};

// The desktop's global monitor of input events delivered to other applications.
class GlobalEventMonitor {
public:
    using Token = std::uint64_t; // 0 is never a valid token
    using Callback = std::function<void(GlobalEvent *event)>;

    virtual ~GlobalEventMonitor() = default;
    // Calls `callback` on the UI thread for every event of the kinds in `mask` that goes to
    // another application (the event may be null). Returns the monitor's token.
    virtual Token addMonitor(std::uint64_t mask, Callback callback) = 0;
    // Removes the monitor; its callback is not called again.
    virtual void removeMonitor(Token token) = 0;
};

} // namespace platform
