#include "platform/statusitem/freedesktop/StatusNotifierItem.h"

#include "fakes/PrivateSessionBus.h"
#include "ui/StatusIndicator.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QFileInfo>
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

namespace {
// Receives the item's NewIcon and NewAttentionIcon signals as a status bar does.
class IconSignals : public QObject {
    Q_OBJECT
public slots:
    void newIcon() { ++count; }

public:
    int count = 0;
};
} // namespace

// Each state's icon is named for the status bar's icon theme, as the icon and as the attention
// icon (the item asks for attention while it records), with a signal for each change; every
// name is an icon the build installs.
TEST(StatusNotifierItemTest, EachStateNamesAnInstalledSymbolicIconAndSignalsTheChange)
{
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon (Debian package dbus-daemon) did not start";
    platform::StatusNotifierItem item;
    QDBusConnection client = QDBusConnection::connectToBus(bus.address, QStringLiteral("status-bar"));
    const QString service = QDBusConnection::sessionBus().baseService();
    IconSignals signals_;
    for (const char *signal : {"NewIcon", "NewAttentionIcon"})
        client.connect(service, QStringLiteral("/StatusNotifierItem"),
                       QStringLiteral("org.kde.StatusNotifierItem"), QLatin1String(signal), &signals_,
                       SLOT(newIcon()));
    const auto property = [&](const QString &name) {
        QDBusMessage get = QDBusMessage::createMethodCall(service, QStringLiteral("/StatusNotifierItem"),
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        get << QStringLiteral("org.kde.StatusNotifierItem") << name;
        // The item answers on this thread: its events go on while the call waits.
        const QDBusReply<QDBusVariant> reply = client.call(get, QDBus::BlockWithGui, 5000);
        return reply.value().variant().toString();
    };

    using State = RecordingController::State;
    const struct {
        State state;
        QString icon;
    } looks[] = {
        {State::Recording, QStringLiteral("org.registratore.Registratore-recording-symbolic")},
        {State::Paused, QStringLiteral("org.registratore.Registratore-paused-symbolic")},
        {State::Ready, QStringLiteral("org.registratore.Registratore-symbolic")},
    };
    int changes = 0;
    for (const auto &look : looks) {
        SCOPED_TRACE(look.icon.toStdString());
        showImage(item, statusLookFor(look.state, 5));
        changes += 2;
        EXPECT_EQ(property(QStringLiteral("IconName")), look.icon);
        EXPECT_EQ(property(QStringLiteral("AttentionIconName")), look.icon);
        EXPECT_TRUE(QFileInfo::exists(QStringLiteral(REGISTRATORE_ICON_THEME_DIR "/hicolor/symbolic/apps/") +
                                      look.icon + QStringLiteral(".svg")));
    }
    for (int turn = 0; turn < 100 && signals_.count < changes; ++turn)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(signals_.count, changes);
    // The test runs from tests/unit, where no icons sit beside the binary.
    EXPECT_EQ(property(QStringLiteral("IconThemePath")), QString());
    QDBusConnection::disconnectFromBus(QStringLiteral("status-bar"));
}

#include "StatusNotifierItemTest.moc"
