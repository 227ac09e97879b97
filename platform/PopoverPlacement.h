#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace platform {

// Where a popover opens: under the status icon when its place on screen is known, else at
// the pointer of the click that opened it, else in the top-right corner of the screen.
struct Anchor {
    QRect iconGeometry;            // empty when the status bar does not tell
    std::optional<QPoint> pointer; // where the user clicked, when a click opened it
};

// Top-left corner of a popover of `size` for `anchor`: under the icon, or above it when the
// icon sits in the lower half of the screen (a bottom panel); kept inside `available` unless
// that is null (Wayland gives no screen geometry).
QPoint popoverPosition(const Anchor &anchor, QSize size, const QRect &available);

} // namespace platform
