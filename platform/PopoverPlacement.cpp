#include "platform/PopoverPlacement.h"

#include <algorithm>

namespace platform {

namespace {
constexpr int screenCoordinateLimit = 32767;

bool inLowerHalf(int y, const QRect &available)
{
    return !available.isNull() && y > available.center().y();
}

// The top edge of a popover of `height` opened by a click at `click` with no icon geometry.
int topBesideClick(QPoint click, const QRect &bar, int height, const QRect &available)
{
    const bool bottomBar = inLowerHalf(click.y(), available);
    if (bar.contains(click))
        return bottomBar ? bar.top() - height : bar.bottom() + 1;
    // A bar the work area leaves out.
    if (!available.isNull() && click.y() < available.top())
        return available.top();
    if (!available.isNull() && click.y() > available.bottom())
        return available.bottom() + 1 - height;
    return bottomBar ? click.y() - clickClearance - height : click.y() + clickClearance;
}
} // namespace

QPoint onScreenRange(QPoint point)
{
    return QPoint(std::clamp(point.x(), -screenCoordinateLimit, screenCoordinateLimit),
                  std::clamp(point.y(), -screenCoordinateLimit, screenCoordinateLimit));
}

QPoint popoverPosition(const Anchor &anchor, QSize size, const QRect &available)
{
    QPoint position;
    if (!anchor.iconGeometry.isEmpty()) {
        const QRect &icon = anchor.iconGeometry;
        position.setX(icon.x() + icon.width() / 2 - size.width() / 2);
        position.setY(inLowerHalf(icon.center().y(), available) ? icon.top() - size.height()
                                                                : icon.bottom() + 1);
    } else if (anchor.pointer) {
        const QPoint p = onScreenRange(*anchor.pointer);
        position.setX(p.x() - size.width() / 2);
        position.setY(topBesideClick(p, anchor.statusBar, size.height(), available));
    } else if (!available.isNull()) {
        // Opened by the application itself: the top-right corner, or beside the bar there.
        const QRect &bar = anchor.statusBar;
        const int top = bar.isEmpty()                              ? available.top()
                        : inLowerHalf(bar.center().y(), available) ? bar.top() - size.height()
                                                                   : bar.bottom() + 1;
        position = QPoint(available.right() + 1 - size.width(), top);
    }
    if (available.isNull())
        return position;
    // Keep it on screen; a popover larger than the screen keeps its top-left corner visible.
    position.setX(std::max(available.left(), std::min(position.x(), available.right() + 1 - size.width())));
    position.setY(std::max(available.top(), std::min(position.y(), available.bottom() + 1 - size.height())));
    return position;
}

QRect reservedEdge(const QRect &screen, const QRect &available)
{
    if (available.isNull())
        return {};
    if (available.top() > screen.top())
        return QRect(screen.left(), screen.top(), screen.width(), available.top() - screen.top());
    if (available.bottom() < screen.bottom())
        return QRect(screen.left(), available.bottom() + 1, screen.width(),
                     screen.bottom() - available.bottom());
    return {};
}

} // namespace platform
