#pragma once

#include "platform/GlobalEventMonitor.h"

#include <QAbstractNativeEventFilter>
#include <QRect>

#include <functional>
#include <map>
#include <memory>

struct xcb_connection_t;

namespace platform {

// Global mouse monitor on X11: XInput 2 raw button presses on the root window, which the
// X server sends us whichever client the click goes to, read through a native event filter
// on Qt's own XCB connection. It never grabs the pointer, so the click still reaches its
// application. Raw events carry no position, so the pointer is queried and clicks inside our
// own windows (or `ownArea`, the status icon) are ignored. Raw events are selected only while
// a monitor is installed, so an idle application is not woken by clicks.
class X11GlobalEventMonitor : public GlobalEventMonitor, public QAbstractNativeEventFilter {
public:
    // Null when this is not an X11 session or the server has no XInput 2.
    static std::unique_ptr<X11GlobalEventMonitor> create(std::function<QRect()> ownArea);
    ~X11GlobalEventMonitor() override;

    Token addMonitor(std::uint64_t mask, Callback callback) override;
    void removeMonitor(Token token) override;
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    X11GlobalEventMonitor(xcb_connection_t *connection, unsigned root, unsigned char xinputOpcode,
                          std::function<QRect()> ownArea);
    void selectRawButtons(bool on);
    bool insideOwnWindows(QPoint position) const;
    void deliver(EventKind kind);

    struct Monitor {
        std::uint64_t mask;
        Callback callback;
    };
    xcb_connection_t *connection;
    unsigned root;
    unsigned char xinputOpcode;
    std::function<QRect()> ownArea;
    std::map<Token, Monitor> monitors;
    Token nextToken = 1;
};

} // namespace platform
