#include "platform/DesktopSession.h"

#include <QtGlobal>

#include <gtest/gtest.h>

// What Qt's X11 and Wayland connections say right before they end the process themselves.
TEST(DisplayLossGuard, FinishesOnceOnTheToolkitsLastWordsAndOnlyWhileItExists)
{
    struct Case {
        const char *warning;
        int finishes;
    };
    const Case cases[] = {
        {"The X11 connection broke (error 1). Did the X11 server die?", 1},
        {"The X11 connection broke: I/O error (code 1)", 1},
        {"The Wayland connection broke. Did the Wayland compositor die?", 1},
        {"The Wayland connection experienced a fatal error: Broken pipe", 1},
        {"QAccessibleTable::child: Invalid index at: 0 0", 0},
    };
    for (const Case &c : cases) {
        int finished = 0;
        {
            platform::DisplayLossGuard guard([&finished] { ++finished; });
            qWarning("%s", c.warning);
            qWarning("%s", c.warning);
        }
        qWarning("The X11 connection broke (error 1). Did the X11 server die?");
        EXPECT_EQ(finished, c.finishes) << c.warning;
    }
}
