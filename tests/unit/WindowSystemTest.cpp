#include "platform/WindowSystem.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <vector>

// Which window system the windows go through: Xwayland on a Wayland session that has it,
// unless the user chose; the programs the recorder starts are not told.
TEST(WindowSystemTest, WindowsGoThroughXwaylandUnlessTheUserChose)
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
