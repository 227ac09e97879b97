#include "platform/statusitem/freedesktop/StatusNotifierItem.h"

#include "fakes/PrivateSessionBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QThread>

#include <gtest/gtest.h>

#include <climits>
#include <optional>

// A status bar's Activate comes from any client of the session bus: coordinates far off any
// screen still place the popover on it, and a burst of calls is one click.
TEST(StatusNotifierItemTest, ActivateFarOffScreenInABurstIsOneClickPlacedOnScreen)
{
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon (Debian package dbus-daemon) did not start";
    platform::StatusNotifierItem item;
    std::optional<platform::Anchor> anchor;
    int clicks = 0;
    QObject::connect(&item, &platform::StatusItem::activated, [&] {
        ++clicks;
        anchor = item.takeAnchor();
    });

    QDBusConnection client = QDBusConnection::connectToBus(bus.address, QStringLiteral("status-bar"));
    for (const int coordinate : {INT_MIN, INT_MAX, INT_MIN}) {
        QDBusMessage activate = QDBusMessage::createMethodCall(
            QDBusConnection::sessionBus().baseService(), QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"));
        activate << coordinate << coordinate;
        client.send(activate);
    }
    QThread::msleep(500);
    for (int turn = 0; turn < 10; ++turn) {
        QCoreApplication::processEvents();
        QThread::msleep(50);
    }
    EXPECT_EQ(clicks, 1);
    ASSERT_TRUE(anchor && anchor->pointer);
    const QRect screen(0, 0, 1280, 800);
    const QPoint position = platform::popoverPosition(*anchor, QSize(280, 100), screen);
    EXPECT_TRUE(screen.contains(QRect(position, QSize(280, 100)))) << position.x() << "," << position.y();
    QDBusConnection::disconnectFromBus(QStringLiteral("status-bar"));
}
