#include "platform/statusitem/freedesktop/FreedesktopStatusBar.h"

#include "platform/Xcb.h"
#include "platform/statusitem/TrayStatusItem.h"
#include "platform/statusitem/freedesktop/StatusNotifierItem.h"

#include <QWindow>

#include <algorithm>
#include <vector>

namespace platform {

namespace {

using xcb::atom;
using xcb::Reply;

bool hasProperty(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property)
{
    if (property == XCB_ATOM_NONE)
        return false;
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_ANY, 0, 0), nullptr));
    return reply && reply->type != XCB_ATOM_NONE;
}

// Panels are dock windows, and reserve their edge of the screen with struts.
bool isBar(xcb_connection_t *connection, xcb_window_t window)
{
    if (hasProperty(connection, window, atom(connection, "_NET_WM_STRUT_PARTIAL")) ||
        hasProperty(connection, window, atom(connection, "_NET_WM_STRUT")))
        return true;
    const xcb_atom_t dock = atom(connection, "_NET_WM_WINDOW_TYPE_DOCK");
    const Reply<xcb_get_property_reply_t> types(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, atom(connection, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 0,
                         16),
        nullptr));
    if (!types || dock == XCB_ATOM_NONE)
        return false;
    const auto *list = static_cast<const xcb_atom_t *>(xcb_get_property_value(types.get()));
    const int count = xcb_get_property_value_length(types.get()) / static_cast<int>(sizeof(xcb_atom_t));
    for (int i = 0; i < count; ++i) {
        if (list[i] == dock)
            return true;
    }
    return false;
}

QRect screenRect(xcb_connection_t *connection, xcb_window_t root, xcb_window_t window)
{
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    const Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, root, 0, 0), nullptr));
    if (!geometry || !origin)
        return {};
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

// An XEmbed tray owns the selection _NET_SYSTEM_TRAY_S<screen>; desktops have one X screen.
bool xembedTrayShowing()
{
    xcb_connection_t *connection = xcb::connection();
    if (!connection)
        return false;
    const xcb_atom_t selection = atom(connection, "_NET_SYSTEM_TRAY_S0");
    if (selection == XCB_ATOM_NONE)
        return false;
    const Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

} // namespace

bool FreedesktopStatusBar::showing()
{
    return StatusNotifierItem::hostShowing() || xembedTrayShowing();
}

std::unique_ptr<StatusItem> FreedesktopStatusBar::makeItem(bool statusBarFound)
{
    // A StatusNotifierItem of our own, which can ask for attention while recording.
    if (statusBarFound && StatusNotifierItem::hostShowing())
        return std::make_unique<StatusNotifierItem>();
    return std::make_unique<TrayStatusItem>();
}

QRect FreedesktopStatusBar::barAt(QPoint point)
{
    xcb_connection_t *connection = xcb::connection();
    if (!connection)
        return {};
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return {};
    // The top-level window at the point, then the client inside a window manager's frame.
    xcb_window_t parent = screen->root;
    for (int depth = 0; depth < 2; ++depth) {
        const Reply<xcb_translate_coordinates_reply_t> hit(xcb_translate_coordinates_reply(
            connection,
            xcb_translate_coordinates(connection, screen->root, parent, static_cast<int16_t>(point.x()),
                                      static_cast<int16_t>(point.y())),
            nullptr));
        if (!hit || hit->child == XCB_WINDOW_NONE)
            return {};
        if (isBar(connection, hit->child))
            return screenRect(connection, screen->root, hit->child);
        parent = hit->child;
    }
    return {};
}

void FreedesktopStatusBar::keepOutOfTaskbar(QWindow *window)
{
    xcb_connection_t *connection = xcb::connection();
    if (!connection || !window)
        return;
    // Added to what the window's state holds already: Qt merges its own hints into it at showing.
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE", true);
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 64), nullptr));
    std::vector<xcb_atom_t> atoms;
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        atoms.assign(values, values + xcb_get_property_value_length(reply.get()) / sizeof(xcb_atom_t));
    }
    for (const char *name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const xcb_atom_t wanted = atom(connection, name, true);
        if (std::find(atoms.begin(), atoms.end(), wanted) == atoms.end())
            atoms.push_back(wanted);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.data());
    xcb_flush(connection);
}

} // namespace platform
