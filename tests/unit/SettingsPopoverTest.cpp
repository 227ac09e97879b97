#include "ui/SettingsPopover.h"
#include "fakes/FakeChoices.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeRecorder.h"
#include "fakes/LogCapture.h"
#include "recording/RecordingController.h"
#include "ui/RecorderPanel.h"
#include "ui/SettingsActions.h"
#include "ui/SettingsMenu.h"

#include <QPointer>
#include <QToolButton>

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {
// The settings button of the recorder panel and the popover it opens.
class SettingsPopoverTest : public ::testing::Test {
protected:
    TestPreferences preferences;
    FakeMail mail;
    SettingsActions actions{preferences, mail};
    LogCapture log;
};
} // namespace

TEST_F(SettingsPopoverTest, TheSettingsButtonOpensANewMenuEachTimeAndReleasesTheOldOne)
{
    FakeSaveDialog dialog;
    RecordingController recording({dialog, preferences, [] { return nullptr; }, noRecorders()});
    RecorderPanel panel(recording, [this] { return new SettingsMenu(actions); });
    auto *button = panel.findChild<QToolButton *>(QStringLiteral("settingsButton"));
    button->resize(30, 24);
    log.clear();
    panel.showSettings(button);
    const Lines lines = log.lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "setting");
    EXPECT_EQ(lines[1], "bounds : {{0, 0}, {30, 24}}");
    EXPECT_EQ(lines[2], "arrayMenu.count : 3");
    QPointer<QWidget> first = panel.settingsPopover()->content();
    ASSERT_TRUE(first);
    EXPECT_TRUE(panel.settingsPopover()->isShown());

    panel.showSettings(button);
    EXPECT_TRUE(first.isNull());
    EXPECT_NE(panel.settingsPopover()->content(), nullptr);

    // A sender that is not a button changes nothing.
    QPointer<QWidget> second = panel.settingsPopover()->content();
    log.clear();
    QObject notAButton;
    panel.showSettings(&notAButton);
    EXPECT_EQ(log.lines(), Lines{"setting"});
    EXPECT_EQ(panel.settingsPopover()->content(), second.data());
    EXPECT_TRUE(panel.settingsPopover()->isShown());
}
