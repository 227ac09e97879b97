#include "platform/StatusBarGeometry.h"

#include "platform/x11/Xcb.h"

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

} // namespace

QRect statusBarAt(QPoint point)
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

} // namespace platform
