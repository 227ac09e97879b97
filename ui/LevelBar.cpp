#include "ui/LevelBar.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

LevelBar::LevelBar(QWidget *parent) : QWidget(parent)
{
    setAccessibleName(tr("Input level"));
}

double LevelBar::shareOf(float peakDb)
{
    if (!std::isfinite(peakDb))
        return 0.0;
    return std::clamp((static_cast<double>(peakDb) - floorDb) / -floorDb, 0.0, 1.0);
}

void LevelBar::setLevel(float peakDb)
{
    setShare(shareOf(peakDb));
}

void LevelBar::clear()
{
    setShare(0.0);
}

void LevelBar::setShare(double newShare)
{
    // Repaint only when the bar visibly changes.
    const bool visibleChange = std::lround(newShare * width()) != std::lround(share * width());
    share = newShare;
    if (visibleChange && isVisible())
        update();
}

void LevelBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const int filled = static_cast<int>(std::lround(share * width()));
    if (filled > 0)
        painter.fillRect(QRect(0, 0, filled, height()), QColor(235, 240, 250));
}
