#include "ui/OutsideClickMonitor.h"
#include "fakes/FakeDesktop.h"

#include <gtest/gtest.h>

#include <vector>

TEST(OutsideClickMonitorTest, InstallsAtMostOneMonitorAndRemovesItWhenStoppedOrDestroyed)
{
    FakeGlobalEventMonitor desktop;
    std::vector<platform::GlobalEvent *> seen;
    {
        OutsideClickMonitor monitor(
            10, [&seen](platform::GlobalEvent *event) { seen.push_back(event); }, desktop);
        EXPECT_FALSE(monitor.isRunning());
        monitor.stop();
        monitor.stop();
        EXPECT_EQ(desktop.removes, 0);

        monitor.start();
        monitor.start();
        EXPECT_EQ(desktop.installed.size(), 1u);
        EXPECT_EQ(desktop.installed.begin()->second.first, 10u);

        platform::GlobalEvent event;
        desktop.click(&event);
        desktop.click(nullptr);
        EXPECT_EQ(seen, (std::vector<platform::GlobalEvent *>{&event, nullptr}));

        monitor.stop();
        EXPECT_TRUE(desktop.installed.empty());
        monitor.stop();
        EXPECT_EQ(desktop.removes, 1);
        monitor.start();
        EXPECT_EQ(desktop.installed.size(), 1u);
    }
    EXPECT_TRUE(desktop.installed.empty());
    EXPECT_EQ(desktop.removes, 2);
}
