#include "ui/StatusBarShell.h"
#include "fakes/FakeChoices.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeRecorder.h"
#include "fakes/LogCapture.h"
#include "recording/RecordingController.h"

#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

using Lines = std::vector<std::string>;

namespace {
const std::string closeLine = "chiudo il traduttore ModelData.shared.chiudo : ";

class StatusBarShellTest : public ::testing::Test {
protected:
    StatusBarShellTest() { dialog.answer = {platform::SaveDialog::Cancel, QString()}; }

    void launch(bool button = true, StatusBarShell::Opening opening = StatusBarShell::Opening::Open)
    {
        auto item = std::make_unique<FakeStatusItem>(button);
        auto pop = std::make_unique<FakePopover>();
        auto clicks = std::make_unique<FakeOutsideClickMonitor>();
        statusItem = item.get();
        popover = pop.get();
        desktop = clicks.get();
        delegate =
            std::make_unique<StatusBarShell>(std::move(item), std::move(pop), std::move(clicks), recording);
        delegate->launchInStatusBar(new QWidget, opening);
        log.clear();
    }
    void openPopover()
    {
        delegate->showPopover();
        log.clear();
    }

    FakeOutsideClickMonitor *desktop = nullptr;
    // Its save dialog, while it is up, holds the popover open.
    FakeSaveDialog dialog;
    TestPreferences preferences;
    RecordingController recording{{dialog, preferences, [] { return nullptr; }, noRecorders()}};
    LogCapture log;
    FakeStatusItem *statusItem = nullptr;
    FakePopover *popover = nullptr;
    std::unique_ptr<StatusBarShell> delegate;
};
} // namespace

TEST_F(StatusBarShellTest, OnlyTheSaveDialogHoldsThePopoverOpen)
{
    launch();
    openPopover();
    // A click on the icon while the user chooses where to save.
    dialog.whileShown = [this] {
        log.clear();
        statusItem->click();
        EXPECT_EQ(log.lines(), Lines{closeLine + "No"});
        EXPECT_TRUE(popover->isShown());
        EXPECT_TRUE(delegate->outsideClickMonitor()->isRunning());
    };
    recording.clickRecord(); // cancelled: nothing starts
    ASSERT_EQ(dialog.runs, 1);

    openPopover();
    statusItem->click();
    EXPECT_EQ(log.lines(), (Lines{closeLine + "Si", "posso chiudere il popup"}));
    EXPECT_FALSE(popover->isShown());
    EXPECT_FALSE(delegate->outsideClickMonitor()->isRunning());
    EXPECT_EQ(desktop->watches, 0);
}

TEST_F(StatusBarShellTest, ToggleOpensAHiddenPopoverUnderTheIconAndStartsTheMonitor)
{
    launch();
    delegate->outsideClickMonitor()->stop();
    statusItem->click();
    EXPECT_EQ(log.lines(), Lines{"mostro il traduttore"});
    EXPECT_TRUE(popover->isShown());
    EXPECT_EQ(popover->lastAnchor.iconGeometry, QRect(1200, 0, 24, 24));
    EXPECT_TRUE(delegate->outsideClickMonitor()->isRunning());
}

TEST_F(StatusBarShellTest, CloseHandsItsSenderToThePopoverUnchanged)
{
    launch();
    QObject sender;
    openPopover();
    delegate->closePopover(&sender);
    openPopover();
    delegate->closePopover(nullptr);
    EXPECT_EQ(popover->closeSenders, (std::vector<QObject *>{&sender, nullptr}));
}

TEST_F(StatusBarShellTest, DelayedTaskOpensAHiddenPopoverAndClosesAShownOne)
{
    launch();
    delegate->openAfterLaunch();
    EXPECT_EQ(log.lines(), (Lines{"Are we there yet?", "mostro il traduttore"}));
    EXPECT_TRUE(popover->isShown());

    log.clear();
    delegate->openAfterLaunch();
    EXPECT_EQ(log.lines(), (Lines{"Are we there yet?", closeLine + "Si", "posso chiudere il popup"}));
    EXPECT_FALSE(popover->isShown());
    ASSERT_EQ(popover->closeSenders.size(), 1u);
    EXPECT_NE(popover->closeSenders[0], nullptr); // an empty event stands in as the sender

    openPopover();
    dialog.whileShown = [this] {
        log.clear();
        delegate->openAfterLaunch();
        EXPECT_EQ(log.lines(), (Lines{"Are we there yet?", closeLine + "No"}));
        EXPECT_TRUE(popover->isShown());
    };
    recording.clickRecord();
    ASSERT_EQ(dialog.runs, 1);
}

TEST_F(StatusBarShellTest, DelayedTaskRunsOnceAboutASecondAfterLaunch)
{
    launch();
    QTest::qWait(static_cast<int>(StatusBarShell::launchDelay.count()) + 300);
    EXPECT_EQ(log.lines(), (Lines{"Are we there yet?", "mostro il traduttore"}));
    QTest::qWait(300);
    EXPECT_EQ(log.lines().size(), 2u);
}

TEST_F(StatusBarShellTest, ATogglePanelRequestOpensAClosedPopoverAndClosesAnOpenOne)
{
    launch();
    delegate->togglePanel();
    EXPECT_EQ(log.lines(), (Lines{"ridimensiono l applicazione", "mostro il traduttore"}));
    EXPECT_TRUE(popover->isShown());

    log.clear();
    delegate->togglePanel();
    EXPECT_EQ(log.lines(),
              (Lines{"ridimensiono l applicazione", closeLine + "Si", "posso chiudere il popup"}));
    EXPECT_FALSE(popover->isShown());

    // Asked from another thread, the toggle still runs on the shell's thread.
    log.clear();
    std::thread asker([this] { QMetaObject::invokeMethod(delegate.get(), &StatusBarShell::togglePanel); });
    asker.join();
    QTRY_VERIFY(popover->isShown());
    EXPECT_EQ(log.lines(), (Lines{"ridimensiono l applicazione", "mostro il traduttore"}));
}

TEST_F(StatusBarShellTest, OutsideClickClosesOnlyAShownPopover)
{
    launch();
    desktop->click();
    EXPECT_TRUE(log.lines().empty());
    EXPECT_FALSE(popover->isShown());

    openPopover();
    desktop->click();
    EXPECT_EQ(log.lines(), (Lines{closeLine + "Si", "posso chiudere il popup"}));
    EXPECT_EQ(popover->closeSenders, std::vector<QObject *>{desktop});

    // After the close the monitor is stopped: further clicks reach nothing.
    log.clear();
    desktop->click();
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(StatusBarShellTest, AnIconClickFirstSeenAsAnOutsideClickClosesOnlyOnce)
{
    // A status bar that does not say where its icon is: the press on the icon reaches the
    // outside-click monitor, then the status bar activates the icon.
    launch();
    openPopover();
    desktop->click();
    statusItem->click();
    EXPECT_EQ(log.lines(), (Lines{closeLine + "Si", "posso chiudere il popup"}));
    EXPECT_FALSE(popover->isShown());

    // A later click on the icon opens it again.
    log.clear();
    QTest::qWait(int(StatusBarShell::sameClick.count()) + 100);
    statusItem->click();
    EXPECT_EQ(log.lines(), Lines{"mostro il traduttore"});
    EXPECT_TRUE(popover->isShown());
}

TEST_F(StatusBarShellTest, LaunchSetsTheTemplateIconAndStartsTheOutsideClickMonitor)
{
    launch();
    EXPECT_TRUE(statusItem->imageSet);
    EXPECT_FALSE(statusItem->image.isNull());
    EXPECT_TRUE(statusItem->image.isMask());
    EXPECT_TRUE(delegate->outsideClickMonitor()->isRunning());
    EXPECT_EQ(desktop->watches, 1);
    EXPECT_NE(popover->content(), nullptr);
}

TEST_F(StatusBarShellTest, WithoutAStatusBarButtonTheRestOfTheLaunchStillRuns)
{
    launch(false);
    EXPECT_FALSE(statusItem->imageSet);
    EXPECT_NE(popover->content(), nullptr);
    EXPECT_TRUE(delegate->outsideClickMonitor()->isRunning());

    delegate->outsideClickMonitor()->stop();
    delegate->showPopover();
    EXPECT_EQ(log.lines(), Lines{"mostro il traduttore"});
    EXPECT_FALSE(popover->isShown());
    EXPECT_TRUE(delegate->outsideClickMonitor()->isRunning());
}

TEST_F(StatusBarShellTest, WithoutAStatusBarThePanelOpensInAWindowAsThePopoverWould)
{
    auto pop = std::make_unique<FakePopover>();
    auto clicks = std::make_unique<FakeOutsideClickMonitor>();
    popover = pop.get();
    desktop = clicks.get();
    StatusBarShell fallback(std::make_unique<FakeStatusItem>(false), std::move(pop), std::move(clicks),
                            recording);
    fallback.launchInWindow(new QWidget);
    EXPECT_NE(popover->content(), nullptr);
    EXPECT_EQ(desktop->watches, 0); // nothing closes an ordinary window on outside clicks
    QTest::qWait(static_cast<int>(StatusBarShell::launchDelay.count()) + 200);
    EXPECT_TRUE(popover->isShown());
    EXPECT_EQ(log.lines(), (Lines{"Are we there yet?", "mostro il traduttore"}));
    fallback.showRecorder(); // another launch
    EXPECT_TRUE(popover->isShown());
    fallback.closeRecorder(); // Escape: closing the window would quit
    EXPECT_TRUE(popover->isShown());
}

TEST_F(StatusBarShellTest, ASecondLaunchOpensTheHiddenPopoverAndLeavesAShownOneOpen)
{
    launch();
    delegate->showRecorder();
    EXPECT_TRUE(popover->isShown());
    EXPECT_EQ(log.lines(), Lines{"mostro il traduttore"});
    EXPECT_EQ(desktop->watches, 1); // started at launch, and not a second time
    delegate->showRecorder();
    EXPECT_TRUE(popover->isShown());
    EXPECT_EQ(log.lines().size(), 1u);
}

// Escape closes the popover as the icon does, through the close guard; a launch at login leaves
// it closed.
TEST_F(StatusBarShellTest, EscapeClosesThePopoverAndALoginLaunchOpensNothing)
{
    launch(true, StatusBarShell::Opening::Closed);
    QTest::qWait(static_cast<int>(StatusBarShell::launchDelay.count()) + 300);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_FALSE(popover->isShown());
    EXPECT_FALSE(delegate->outsideClickMonitor()->isRunning());

    delegate->closeRecorder(); // closed already: nothing to say
    EXPECT_TRUE(log.lines().empty());
    openPopover();
    delegate->closeRecorder();
    EXPECT_EQ(log.lines(), (Lines{closeLine + "Si", "posso chiudere il popup"}));
    EXPECT_FALSE(popover->isShown());
    EXPECT_FALSE(delegate->outsideClickMonitor()->isRunning());
}
