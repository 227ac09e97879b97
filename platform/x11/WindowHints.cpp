#include "platform/WindowHints.h"

#include "platform/x11/Xcb.h"

#include <QWindow>

#include <algorithm>
#include <vector>

namespace platform {

void keepOutOfTaskbar(QWindow *window)
{
    xcb_connection_t *connection = xcb::connection();
    if (!connection || !window)
        return;
    // Added to what the window's state holds already: Qt merges its own hints into it at showing.
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t state = xcb::atom(connection, "_NET_WM_STATE", true);
    const xcb::Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 64), nullptr));
    std::vector<xcb_atom_t> atoms;
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        atoms.assign(values, values + xcb_get_property_value_length(reply.get()) / sizeof(xcb_atom_t));
    }
    for (const char *name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const xcb_atom_t wanted = xcb::atom(connection, name, true);
        if (std::find(atoms.begin(), atoms.end(), wanted) == atoms.end())
            atoms.push_back(wanted);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.data());
    xcb_flush(connection);
}

} // namespace platform
