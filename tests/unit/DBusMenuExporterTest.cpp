#include "platform/dbus/DBusMenuExporter.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QSignalSpy>

#include <gtest/gtest.h>

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
