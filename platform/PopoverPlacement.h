#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace platform {

// Where a popover opens: under the status icon when its place on screen is known, else
// beside the status bar that was clicked, else near the click, else at the right end of the
// status bar (below a top bar, above a bottom one), or in the top-right corner.
struct Anchor {
    QRect iconGeometry;            // empty when the status bar does not tell
    std::optional<QPoint> pointer; // where the user clicked, when a click opened it
    QRect statusBar = {};          // the bar's window around the click (or the corner), if known
};

// How far below (or above) a click the popover opens when nothing tells where the status
// bar ends: clear of an icon of the usual size, so the next click reaches the icon again.
constexpr int clickClearance = 24;

// `point` moved into the range of coordinates a screen can have (X11's 16 bits), so that a
// status bar's word for where it was clicked cannot overflow the arithmetic of placing.
QPoint onScreenRange(QPoint point);

// Top-left corner of a popover of `size` for `anchor`: under the icon, or above it when the
// icon sits in the lower half of the screen (a bottom panel); kept inside `available` unless
// that is null (Wayland gives no screen geometry). Opened from a click alone, it never covers
// the point clicked: it opens past the edge of the bar (its window, or the part of the screen
// the work area leaves out), else `clickClearance` away from the click.
QPoint popoverPosition(const Anchor &anchor, QSize size, const QRect &available);

// The strip of `screen` that its work area `available` leaves out at the top, for a bar there,
// else at the bottom; empty when neither edge is reserved.
QRect reservedEdge(const QRect &screen, const QRect &available);

} // namespace platform
