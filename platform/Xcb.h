#pragma once

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

// Small helpers over Qt's own XCB connection (the Linux backends only).
namespace platform::xcb {

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};
// A reply of the X server, freed with it.
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// Qt's connection to the X server, or null when the application does not run on X11.
inline xcb_connection_t *connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The atom of `name`; XCB_ATOM_NONE when it does not exist yet, unless `create`.
inline xcb_atom_t atom(xcb_connection_t *connection, const char *name, bool create = false)
{
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, create ? 0 : 1, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace platform::xcb
