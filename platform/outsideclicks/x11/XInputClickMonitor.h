#pragma once

#include "platform/OutsideClickMonitor.h"

#include <QAbstractNativeEventFilter>
#include <QRect>

#include <functional>
#include <memory>

struct xcb_connection_t;

namespace platform {

// Outside clicks on X11: XInput 2 raw button presses on the root window, which the X server
// sends us whichever client the click goes to, read through a native event filter on Qt's own
// XCB connection. It never grabs the pointer, so the click still reaches its application. Raw
// events carry no position, so the pointer is queried, and presses inside our own windows (or
// `ownArea`, the status icon) are not outside. Raw events are selected only while running, so
// an idle application is not woken by clicks.
class XInputClickMonitor : public OutsideClickMonitor, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // Null when this is not an X11 session or the server has no XInput 2.1.
    static std::unique_ptr<XInputClickMonitor> create(std::function<QRect()> ownArea);
    ~XInputClickMonitor() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

protected:
    void watch(bool on) override;

private:
    XInputClickMonitor(xcb_connection_t *connection, unsigned root, unsigned char xinputOpcode,
                       std::function<QRect()> ownArea);
    bool insideOwnWindows(QPoint position) const;
    void pressed();

    xcb_connection_t *connection;
    unsigned root;
    unsigned char xinputOpcode;
    std::function<QRect()> ownArea;
};

} // namespace platform
