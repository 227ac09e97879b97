#include "platform/outsideclicks/x11/ClickCatcher.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

// Through Xwayland: while the monitor runs and a window of ours shows, a window over the whole
// screen, with a hole where ours is, turns a click into an outside click; it steps aside for a
// modal dialog, and goes when nothing of ours shows or the monitor stops.
TEST(ClickCatcherTest, CoversAllButOurWindowsWhileTheyShow)
{
    platform::ClickCatcher monitor;
    int clicks = 0;
    QObject::connect(&monitor, &platform::OutsideClickMonitor::clickedOutside, [&clicks] { ++clicks; });
    monitor.start();
    QCoreApplication::processEvents();
    EXPECT_EQ(monitor.catcher(), nullptr) << "nothing of ours shows";

    QWidget ours;
    ours.setGeometry(100, 100, 200, 100);
    ours.show();
    QCoreApplication::processEvents();
    QWidget *catcher = monitor.catcher();
    ASSERT_NE(catcher, nullptr);
    EXPECT_TRUE(catcher->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(catcher->mask().contains(QPoint(10, 10)));
    EXPECT_FALSE(catcher->mask().contains(QPoint(150, 150)));
    QTest::mouseClick(catcher->windowHandle(), Qt::LeftButton, {}, QPoint(10, 20));
    QTest::mouseClick(catcher->windowHandle(), Qt::RightButton, {}, QPoint(10, 20));
    QTest::mouseClick(catcher->windowHandle(), Qt::MiddleButton, {}, QPoint(10, 20));
    EXPECT_EQ(clicks, 2) << "the left and the right button, not the middle one";

    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(monitor.catcher(), nullptr) << "a modal dialog is up";
    dialog.hide();
    QCoreApplication::processEvents();
    EXPECT_NE(monitor.catcher(), nullptr);

    monitor.stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(monitor.catcher(), nullptr) << "the monitor stopped";
}
