#include "platform/DesktopSession.h"
#include "platform/qt/ClickCatcherEventMonitor.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <vector>

// Which window system the windows go through: Xwayland on a Wayland session that has it,
// unless the user chose; the programs the recorder starts are not told.
TEST(WaylandSession, WindowsGoThroughXwaylandUnlessTheUserChose)
{
    struct Row {
        const char *situation;
        const char *wayland, *display, *platform;
        std::vector<const char *> arguments;
        const char *chosen;
    };
    // clang-format off
    const Row rows[] = {
        {"Wayland session with Xwayland", "wayland-0", ":1", nullptr, {}, "xcb"},
        {"the user chose Wayland", "wayland-0", ":1", "wayland", {}, "wayland"},
        {"the user chose on the command line", "wayland-0", ":1", nullptr, {"-platform", "wayland"}, nullptr},
        {"Wayland session without Xwayland", "wayland-0", nullptr, nullptr, {}, nullptr},
        {"X11 session", nullptr, ":0", nullptr, {}, nullptr},
    };
    // clang-format on
    const QByteArray saved[] = {qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
    const char *names[] = {"WAYLAND_DISPLAY", "DISPLAY", "QT_QPA_PLATFORM"};
    for (const Row &row : rows) {
        const char *values[] = {row.wayland, row.display, row.platform};
        for (int i = 0; i < 3; ++i)
            values[i] ? qputenv(names[i], values[i]) : qunsetenv(names[i]);
        std::vector<char *> argv{const_cast<char *>("registratore")};
        for (const char *argument : row.arguments)
            argv.push_back(const_cast<char *>(argument));
        platform::preferPlaceableWindows(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray(row.chosen)) << row.situation;
        platform::windowSystemChosen();
        EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray(row.platform)) << row.situation;
    }
    for (int i = 0; i < 3; ++i)
        saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
}

// Through Xwayland: while the monitor runs and a window of ours shows, a window over the whole
// screen, with a hole where ours is, turns a click into an outside click; it steps aside for a
// modal dialog, and goes when nothing of ours shows or the monitor stops.
TEST(WaylandSession, ClickCatcherCoversAllButOurWindowsWhileTheyShow)
{
    platform::ClickCatcherEventMonitor monitor;
    std::vector<QPoint> clicks;
    const auto token = monitor.addMonitor(10, [&](platform::GlobalEvent *event) {
        clicks.push_back(event ? event->globalPosition : QPoint(-1, -1));
    });
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
    QTest::mouseClick(catcher->windowHandle(), Qt::MiddleButton, {}, QPoint(10, 20));
    EXPECT_EQ(clicks, std::vector<QPoint>{QPoint(10, 20)});

    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(monitor.catcher(), nullptr) << "a modal dialog is up";
    dialog.hide();
    QCoreApplication::processEvents();
    EXPECT_NE(monitor.catcher(), nullptr);

    monitor.removeMonitor(token);
    QCoreApplication::processEvents();
    EXPECT_EQ(monitor.catcher(), nullptr) << "the monitor stopped";
}
