#include "platform/outsideclicks/x11/XInputClickMonitor.h"

#include "platform/Xcb.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

#include <xcb/xinput.h>

namespace platform {

std::unique_ptr<XInputClickMonitor> XInputClickMonitor::create(std::function<QRect()> ownArea)
{
    xcb_connection_t *connection = xcb::connection();
    if (!connection)
        return nullptr;
    const xcb_query_extension_reply_t *xinput = xcb_get_extension_data(connection, &xcb_input_id);
    if (!xinput || !xinput->present)
        return nullptr;
    // Raw events reach every client regardless of grabs from XInput 2.1 on.
    const xcb::Reply<xcb_input_xi_query_version_reply_t> version(
        xcb_input_xi_query_version_reply(connection, xcb_input_xi_query_version(connection, 2, 2), nullptr));
    if (!version ||
        !(version->major_version > 2 || (version->major_version == 2 && version->minor_version >= 1)))
        return nullptr;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return nullptr;
    return std::unique_ptr<XInputClickMonitor>(
        new XInputClickMonitor(connection, screen->root, xinput->major_opcode, std::move(ownArea)));
}

XInputClickMonitor::XInputClickMonitor(xcb_connection_t *connection, unsigned root,
                                       unsigned char xinputOpcode, std::function<QRect()> ownArea)
    : connection(connection), root(root), xinputOpcode(xinputOpcode), ownArea(std::move(ownArea))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

XInputClickMonitor::~XInputClickMonitor()
{
    if (isRunning())
        watch(false);
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void XInputClickMonitor::watch(bool on)
{
    // Selected for the master devices only, so each click arrives once and Qt's own
    // selections on the root window (made for all devices) stay as they are.
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
           on ? std::uint32_t(XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS) : 0u};
    xcb_input_xi_select_events(connection, root, 1, &mask.head);
    xcb_flush(connection);
}

bool XInputClickMonitor::insideOwnWindows(QPoint position) const
{
    if (ownArea && ownArea().contains(position))
        return true;
    for (const QWindow *window : QGuiApplication::topLevelWindows()) {
        // Windows embedded in another client's window (the tray icon) report local geometry.
        if (window->isVisible() && !window->parent() && window->frameGeometry().contains(position) &&
            window->type() != Qt::ForeignWindow)
            return true;
    }
    return false;
}

void XInputClickMonitor::pressed()
{
    const xcb::Reply<xcb_query_pointer_reply_t> reply(
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr));
    if (!reply)
        return;
    // Qt works in device-independent pixels; the X server in physical ones.
    const qreal ratio = qGuiApp->devicePixelRatio();
    if (!insideOwnWindows(QPoint(qRound(reply->root_x / ratio), qRound(reply->root_y / ratio))))
        report();
}

bool XInputClickMonitor::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (!isRunning() || eventType != "xcb_generic_event_t")
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
        return false;
    auto *generic = reinterpret_cast<xcb_ge_generic_event_t *>(event);
    if (generic->extension != xinputOpcode || generic->event_type != XCB_INPUT_RAW_BUTTON_PRESS)
        return false;
    // The left and the right button; the middle one pastes, the wheel scrolls.
    const auto *press = reinterpret_cast<xcb_input_raw_button_press_event_t *>(event);
    if (press->detail == 1 || press->detail == 3)
        pressed();
    return true;
}

} // namespace platform
