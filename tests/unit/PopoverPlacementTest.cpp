#include "platform/PopoverPlacement.h"

#include <gtest/gtest.h>

#include <climits>

using platform::Anchor;
using platform::popoverPosition;

namespace {
const QRect screen(0, 0, 1280, 800);
const QSize panel(280, 100);

struct Placement {
    const char *situation;
    Anchor anchor;
    QRect available;
    QPoint expected;
};
} // namespace

TEST(PopoverPlacementTest, AnchorsUnderTheIconAboveABottomPanelAndStaysOnScreen)
{
    const QRect top(0, 0, 1280, 28), bottom(0, 772, 1280, 28);
    const QPoint inTop(700, 10), inBottom(700, 790);
    // clang-format off
    const Placement rows[] = {
        {"icon in a top panel: centred under it", {QRect(600, 0, 24, 24), {}}, screen, QPoint(472, 24)},
        {"icon in a bottom panel: above it", {QRect(600, 776, 24, 24), {}}, screen, QPoint(472, 676)},
        {"icon at the right edge: pushed back on screen", {QRect(1250, 0, 24, 24), {}}, screen, QPoint(1000, 24)},
        {"icon at the left edge", {QRect(0, 0, 24, 24), {}}, screen, QPoint(0, 24)},
        {"click, top bar outside the work area: under it", {QRect(), inTop}, QRect(0, 28, 1280, 772), QPoint(560, 28)},
        {"click, bottom bar outside the work area", {QRect(), inBottom}, QRect(0, 0, 1280, 772), QPoint(560, 672)},
        {"click, no work area, top bar known: under it", {QRect(), inTop, top}, screen, QPoint(560, 28)},
        {"click, no work area, bottom bar known: above it", {QRect(), inBottom, bottom}, screen, QPoint(560, 672)},
        {"click at the right end of a top bar", {QRect(), QPoint(1275, 12), top}, screen, QPoint(1000, 28)},
        {"click, nothing known: clear below it", {QRect(), inTop}, screen, QPoint(560, 34)},
        {"click at the bottom, nothing known: clear above it", {QRect(), inBottom}, screen, QPoint(560, 666)},
        {"no anchor at all: top-right corner", {}, screen, QPoint(1000, 0)},
        {"no anchor, a bar in the corner: below it", {QRect(), {}, QRect(1160, 0, 120, 28)}, screen, QPoint(1000, 28)},
        {"no anchor, a bottom bar: above its right end", {QRect(), {}, bottom}, QRect(0, 0, 1280, 772), QPoint(1000, 672)},
        {"second screen to the right", {QRect(2500, 0, 24, 24), {}}, QRect(1280, 0, 1920, 1080), QPoint(2372, 24)},
        {"Wayland, no screen geometry: below the click", {QRect(), QPoint(10, 10)}, QRect(), QPoint(-130, 34)},
        {"Wayland, nothing known", {}, QRect(), QPoint(0, 0)},
        {"screen smaller than the panel: top-left visible", {QRect(100, 0, 24, 24), {}}, QRect(0, 0, 200, 80), QPoint(0, 0)},
        {"click far off the screen, top left", {QRect(), QPoint(INT_MIN, INT_MIN)}, screen, QPoint(0, 0)},
        {"click far off the screen, bottom right", {QRect(), QPoint(INT_MAX, INT_MAX)}, screen, QPoint(1000, 700)},
    };
    // clang-format on
    for (const Placement &row : rows) {
        const QPoint position = popoverPosition(row.anchor, panel, row.available);
        EXPECT_EQ(position, row.expected) << row.situation;
        // The next click on the same spot must reach the status icon again.
        if (row.anchor.pointer) {
            EXPECT_FALSE(QRect(position, panel).contains(*row.anchor.pointer)) << row.situation;
        }
    }
}

TEST(PopoverPlacementTest, ReservedEdgeIsTheStripTheWorkAreaLeavesOut)
{
    EXPECT_EQ(platform::reservedEdge(screen, QRect(0, 32, 1280, 768)), QRect(0, 0, 1280, 32)) << "top bar";
    EXPECT_EQ(platform::reservedEdge(screen, QRect(0, 0, 1280, 756)), QRect(0, 756, 1280, 44)) << "bottom";
    EXPECT_EQ(platform::reservedEdge(screen, QRect(0, 28, 1280, 744)), QRect(0, 0, 1280, 28)) << "both";
    EXPECT_EQ(platform::reservedEdge(screen, screen), QRect()) << "none";
    EXPECT_EQ(platform::reservedEdge(screen, QRect()), QRect()) << "no work area";
}
