#include "ui/StatusIndicator.h"
#include "fakes/FakeChoices.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeRecorder.h"
#include "fakes/LogCapture.h"
#include "recording/RecordingController.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

using State = RecordingController::State;

namespace {
class StatusIndicatorTest : public ::testing::Test {
protected:
    FakeSaveDialog dialog;
    TestPreferences preferences;
    FakeRecorder *fake = nullptr;
    LogCapture log;
    RecordingController recording{{dialog, preferences, [] { return nullptr; }, fakeRecorders(fake)}};
};
} // namespace

TEST_F(StatusIndicatorTest, TheStatusIconTellsTheStateWithAClockOnlyWhileRecording)
{
    using Look = StatusLook;
    EXPECT_EQ(statusLookFor(State::Ready, 12),
              (Look{"micona", true, "Registratore", "org.registratore.Registratore-symbolic"}));
    EXPECT_EQ(statusLookFor(State::Recording, 83.9),
              (Look{"micona-recording", false, "Recording 00 : 01 : 23",
                    "org.registratore.Registratore-recording-symbolic"}));
    EXPECT_EQ(statusLookFor(State::Paused, 90061), (Look{"micona-paused", true, "Paused 25 : 01 : 01",
                                                         "org.registratore.Registratore-paused-symbolic"}));

    FakeStatusItem item;
    StatusIndicator indicator(recording, item);
    EXPECT_EQ(indicator.clock(), nullptr);
    dialog.answer = {platform::SaveDialog::OK, QStringLiteral("/music/take.caf")};
    recording.clickRecord();
    ASSERT_TRUE(indicator.clock() && indicator.clock()->isActive());
    EXPECT_TRUE(item.attention) << "the microphone is live";
    fake->time = 61.5;
    indicator.refresh(); // what the clock does
    EXPECT_EQ(item.toolTip, QStringLiteral("Recording 00 : 01 : 01"));
    EXPECT_EQ(indicator.clock()->interval(), 520); // just past the next whole second
    recording.clickRecord();
    EXPECT_EQ(indicator.clock(), nullptr);
    EXPECT_FALSE(item.attention) << "paused";
    recording.stop();
    EXPECT_EQ(item.toolTip, QStringLiteral("Registratore"));
    EXPECT_EQ(item.imageChanges, 3); // recording, paused, idle: each look is sent once
    EXPECT_EQ(item.themeName, QStringLiteral("org.registratore.Registratore-symbolic"));

    // A status bar that asks for the tooltip on hover needs no clock.
    QCoreApplication::processEvents();
    item.asks = true;
    recording.clickRecord();
    EXPECT_EQ(indicator.clock(), nullptr);
    fake->time = 7.2;
    item.hover();
    EXPECT_EQ(item.toolTip, QStringLiteral("Recording 00 : 00 : 07"));
}
