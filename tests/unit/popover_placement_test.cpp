#include "platform/PopoverPlacement.h"

#include <gtest/gtest.h>

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

TEST(PopoverPlacement, AnchorsUnderTheIconAboveABottomPanelAndStaysOnScreen)
{
    const Placement rows[] = {
        {"icon in a top panel: centred under it", {QRect(600, 0, 24, 24), {}}, screen, QPoint(472, 24)},
        {"icon in a bottom panel: above it", {QRect(600, 776, 24, 24), {}}, screen, QPoint(472, 676)},
        {"icon at the right edge: pushed back on screen",
         {QRect(1250, 0, 24, 24), {}},
         screen,
         QPoint(1000, 24)},
        {"icon at the left edge", {QRect(0, 0, 24, 24), {}}, screen, QPoint(0, 24)},
        {"no icon geometry: at the click", {QRect(), QPoint(700, 10)}, screen, QPoint(560, 10)},
        {"no icon geometry, click at the bottom: above it",
         {QRect(), QPoint(700, 790)},
         screen,
         QPoint(560, 690)},
        {"no anchor at all: top-right corner", {}, screen, QPoint(1000, 0)},
        {"second screen to the right",
         {QRect(2500, 0, 24, 24), {}},
         QRect(1280, 0, 1920, 1080),
         QPoint(2372, 24)},
        {"Wayland, no screen geometry: at the click, unclamped",
         {QRect(), QPoint(10, 10)},
         QRect(),
         QPoint(-130, 10)},
        {"Wayland, nothing known", {}, QRect(), QPoint(0, 0)},
        {"screen smaller than the panel: top-left stays visible",
         {QRect(100, 0, 24, 24), {}},
         QRect(0, 0, 200, 80),
         QPoint(0, 0)},
    };
    for (const Placement &row : rows)
        EXPECT_EQ(popoverPosition(row.anchor, panel, row.available), row.expected) << row.situation;
}
