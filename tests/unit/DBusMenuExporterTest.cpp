#include "platform/statusitem/freedesktop/DBusMenuExporter.h"

#include "fakes/PrivateSessionBus.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QMenu>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <climits>

// What a status bar reads of each entry, in dbusmenu's terms, and a chosen entry running only
// once the call has been answered.
TEST(DBusMenuExporterTest, ExportedEntriesCarryTheirLabelsStatesAndRunAfterTheCall)
{
    QMenu menu;
    QAction *record = menu.addAction(QStringLiteral("&Record"));
    menu.addAction(QStringLiteral("Stop"))->setEnabled(false);
    menu.addSeparator();
    QActionGroup presets(&menu);
    QAction *low = menu.addAction(QStringLiteral("Low_rate && small"));
    low->setCheckable(true);
    low->setChecked(true);
    presets.addAction(low);
    platform::DBusMenuExporter exporter(QStringLiteral("/MenuBar"));
    exporter.setMenu(&menu);

    const QList<int> ids = exporter.entryIds();
    ASSERT_EQ(ids.size(), 4);
    using Map = QVariantMap;
    const std::pair<int, Map> expected[] = {
        {0, Map{{"children-display", "submenu"}}},
        {ids[0], Map{{"label", "_Record"}, {"enabled", true}, {"visible", true}}},
        {ids[1], Map{{"label", "Stop"}, {"enabled", false}, {"visible", true}}},
        {ids[2], Map{{"type", "separator"}, {"visible", true}}},
        {ids[3], Map{{"label", "Low__rate & small"},
                     {"enabled", true},
                     {"visible", true},
                     {"toggle-type", "radio"},
                     {"toggle-state", 1}}},
    };
    for (const auto &[id, properties] : expected)
        EXPECT_EQ(exporter.propertiesOf(id), properties) << "entry " << id;
    EXPECT_FALSE(exporter.hasEntry(ids.back() + 1));

    QSignalSpy triggered(record, &QAction::triggered);
    exporter.clicked(ids[0]);
    EXPECT_EQ(triggered.count(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(triggered.count(), 1);

    QSignalSpy showing(&menu, &QMenu::aboutToShow);
    exporter.aboutToShow();
    EXPECT_EQ(showing.count(), 1);
}

// The recent recordings are a submenu of submenus: each level is published with its entries, an
// entry that opens a submenu does nothing when clicked, and entries added later get ids too.
TEST(DBusMenuExporterTest, SubmenusArePublishedWithTheirEntriesAndFollowedAsTheyChange)
{
    QMenu menu;
    QMenu recent(QStringLiteral("Recent Recordings"));
    QMenu file(QStringLiteral("a.caf"));
    QAction *play = file.addAction(QStringLiteral("Play"));
    recent.addMenu(&file);
    menu.addMenu(&recent);
    platform::DBusMenuExporter exporter(QStringLiteral("/MenuBar"));
    exporter.setMenu(&menu);

    const QList<int> top = exporter.entryIds();
    ASSERT_EQ(top.size(), 1);
    EXPECT_EQ(exporter.propertiesOf(top[0]).value(QStringLiteral("children-display")),
              QStringLiteral("submenu"));
    const QList<int> files = exporter.entryIds(top[0]);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(exporter.propertiesOf(files[0]).value(QStringLiteral("label")), QStringLiteral("a.caf"));
    const QList<int> entries = exporter.entryIds(files[0]);
    ASSERT_EQ(entries.size(), 1);

    QSignalSpy played(play, &QAction::triggered);
    QSignalSpy recentShown(recent.menuAction(), &QAction::triggered);
    exporter.clicked(files[0]);
    exporter.clicked(entries[0]);
    QCoreApplication::processEvents();
    EXPECT_EQ(played.count(), 1);
    EXPECT_EQ(recentShown.count(), 0);

    const uint before = exporter.revision();
    QAction *trash = file.addAction(QStringLiteral("Move to Trash"));
    EXPECT_GT(exporter.revision(), before);
    EXPECT_EQ(exporter.entryIds(files[0]).size(), 2);
    file.removeAction(trash);
    EXPECT_EQ(exporter.entryIds(files[0]), entries);
    EXPECT_TRUE(exporter.entryIds(entries[0]).isEmpty());
}

namespace {
// What a status bar, or any other client of the session bus, sends to the exported menu.
class MenuClient {
public:
    explicit MenuClient(const QString &address)
        : bus(QDBusConnection::connectToBus(address, QStringLiteral("menu-client"))),
          service(QDBusConnection::sessionBus().baseService())
    {
    }
    ~MenuClient() { QDBusConnection::disconnectFromBus(QStringLiteral("menu-client")); }

    QDBusMessage message(const char *method, const QVariantList &arguments) const
    {
        QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/MenuBar"),
                                                           QStringLiteral("com.canonical.dbusmenu"),
                                                           QString::fromLatin1(method));
        call.setArguments(arguments);
        return call;
    }
    // Answered while the test's own event loop runs the exporter.
    QDBusMessage call(const char *method, const QVariantList &arguments) const
    {
        return bus.call(message(method, arguments), QDBus::BlockWithGui, 20000);
    }
    // Sent all at once, before the exporter's thread looks at any of them.
    void burst(const char *method, const QVariantList &arguments, int times) const
    {
        for (int i = 0; i < times; ++i)
            bus.send(message(method, arguments));
        QThread::msleep(500);
    }

    QDBusConnection bus;
    QString service;
};

// The ids of GetGroupProperties' reply, a(ia{sv}).
QList<int> idsIn(const QDBusMessage &reply)
{
    QList<int> ids;
    const auto entries = reply.arguments().value(0).value<QDBusArgument>();
    entries.beginArray();
    while (!entries.atEnd()) {
        int id = 0;
        QVariantMap properties;
        entries.beginStructure();
        entries >> id >> properties;
        entries.endStructure();
        ids.append(id);
    }
    entries.endArray();
    return ids;
}

// An event of EventGroup, (isvu), as a status bar sends it.
struct MenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data{QVariant(0)};
    uint timestamp = 0;
};

QDBusArgument &operator<<(QDBusArgument &argument, const MenuEvent &event)
{
    argument.beginStructure();
    argument << event.id << event.eventId << event.data << event.timestamp;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, MenuEvent &event)
{
    argument.beginStructure();
    argument >> event.id >> event.eventId >> event.data >> event.timestamp;
    argument.endStructure();
    return argument;
}
} // namespace

Q_DECLARE_METATYPE(MenuEvent)

// Any client of the session bus can call the menu: a million ids, a burst of calls, a group of
// clicks. Each call does a bounded amount of work and answers a bounded reply.
TEST(DBusMenuExporterTest, AFloodOfCallsGetsBoundedRepliesOneRefreshAndOneClick)
{
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon (Debian package dbus-daemon) did not start";
    QMenu menu;
    QAction *quit = menu.addAction(QStringLiteral("Quit"));
    menu.addAction(QStringLiteral("Stop"));
    platform::DBusMenuExporter exporter(QStringLiteral("/MenuBar"));
    exporter.setMenu(&menu);
    const QList<int> entries = exporter.entryIds();
    MenuClient client(bus.address);
    ASSERT_TRUE(client.bus.isConnected());

    // Duplicates and unknown ids by the million: one entry per known id.
    QList<int> ids = {entries[1], 0, entries[0], 999, entries[1]};
    ids.resize(1'000'000, 0);
    const QDBusMessage properties =
        client.call("GetGroupProperties", {QVariant::fromValue(ids), QStringList{QStringLiteral("label")}});
    ASSERT_EQ(properties.type(), QDBusMessage::ReplyMessage) << qPrintable(properties.errorMessage());
    EXPECT_EQ(idsIn(properties), (QList<int>{entries[1], 0, entries[0]}));

    // A million zeros, then a burst of calls: the menu is refreshed once per turn.
    QSignalSpy showing(&menu, &QMenu::aboutToShow);
    const QDBusMessage shown =
        client.call("AboutToShowGroup", {QVariant::fromValue(QList<int>(1'000'000, 0))});
    ASSERT_EQ(shown.type(), QDBusMessage::ReplyMessage) << qPrintable(shown.errorMessage());
    EXPECT_EQ(showing.count(), 1);
    QCoreApplication::processEvents();
    client.burst("AboutToShow", {0}, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(showing.count(), 2);

    // Two Quit clicks in one group, and unknown ids by the thousand: one quit, a bounded reply.
    qDBusRegisterMetaType<MenuEvent>();
    qDBusRegisterMetaType<QList<MenuEvent>>();
    const int quitId = entries[0];
    QList<MenuEvent> events{{quitId, QStringLiteral("clicked")}, {quitId, QStringLiteral("clicked")}};
    for (int id = 1000; id < 6000; ++id)
        events.append({id, QStringLiteral("hovered")});
    QSignalSpy quits(quit, &QAction::triggered);
    const QDBusMessage group = client.call("EventGroup", {QVariant::fromValue(events)});
    ASSERT_EQ(group.type(), QDBusMessage::ReplyMessage) << qPrintable(group.errorMessage());
    EXPECT_LE(qdbus_cast<QList<int>>(group.arguments().value(0)).size(), 1000);
    QCoreApplication::processEvents();
    EXPECT_EQ(quits.count(), 1);
    // Clicks in separate calls before the action has run are one click too.
    client.burst("Event", {quitId, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u}, 3);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(quits.count(), 2);
}
