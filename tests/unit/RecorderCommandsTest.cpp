#include "app/RecorderCommands.h"
#include "fakes/FakeChoices.h"
#include "fakes/FakeRecorder.h"
#include "fakes/LogCapture.h"
#include "recording/RecordingController.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using Outcome = platform::SingleInstance::Answer::Outcome;

// The shortcut commands, one after another, against the controller with a fake recorder: each
// answers with the state it left, or why it was refused.
TEST(RecorderCommandsTest, EachCommandAnswersWithTheStateItLeftOrWhyItWasRefused)
{
    LogCapture log;
    FakeSaveDialog dialog;
    TestPreferences preferences;
    FakeRecorder *fake = nullptr;
    RecordingController controller({dialog, preferences, [] { return nullptr; }, fakeRecorders(fake)});
    RecorderCommands commands(controller);
    dialog.holdOpen = true;

    const auto expect = [&](const char *action, Outcome outcome, const char *text) {
        const platform::SingleInstance::Answer answer = commands.answer(QString::fromLatin1(action));
        EXPECT_EQ(answer.outcome, outcome) << action;
        EXPECT_EQ(answer.text, QString::fromUtf8(text)) << action;
    };
    expect("stop", Outcome::Refused, "nothing is recording");
    expect("record", Outcome::Done, "choosing where to save");
    // The dialog is up: a second press is refused until the user has chosen.
    expect("record", Outcome::Refused, "the save dialog is already open: choose where to save, or cancel it");
    expect("stop", Outcome::Refused, "nothing is recording yet: the save dialog is open");
    EXPECT_EQ(dialog.runs, 1);
    dialog.finish({platform::SaveDialog::OK, QStringLiteral("/music/take.caf")});
    EXPECT_EQ(controller.state(), RecordingController::State::Recording);
    expect("record", Outcome::Done, "paused");
    expect("record", Outcome::Done, "recording");
    expect("rewind", Outcome::Refused, "unknown command \"rewind\"");
    // Sent by anyone on the session bus: a short part is echoed, escaped.
    expect(("\x1b]0;" + std::string(100000, 'x')).c_str(), Outcome::Refused,
           "unknown command \"\\x1b]0;xxxxxxxxxxxxxxxxxxxxxxxxxxxx\u2026\"");
    ASSERT_TRUE(fake);
    // The file is completed in the background: the panel tells a failure to complete it.
    fake->completionFailure = QStringLiteral("No space left on device");
    expect("stop", Outcome::Done, "stopped");
    EXPECT_EQ(controller.state(), RecordingController::State::Ready);
    QCoreApplication::processEvents();
    EXPECT_TRUE(controller.message().contains(QStringLiteral("No space left on device")));
    EXPECT_FALSE(controller.choosingWhereToSave());
}
