#include "app/QuitGuard.h"
#include "RecorderPanelFixture.h"

#include <QTimer>

#include <optional>

using QuitGuardTest = RecorderPanelFixture;
using State = RecordingController::State;

TEST_F(QuitGuardTest, AQuitWaitsForTheFileAndASecondQuitGivesUpWhatIsLeft)
{
    for (const bool twice : {false, true}) {
        SCOPED_TRACE(twice ? "quit twice" : "quit once");
        startRecording();
        FakeRecorder *slow = fake;
        slow->slowDisk = true;
        slow->toSave = 12.4;
        int shown = 0;
        QuitGuard guard(recording, [&shown] { ++shown; });
        qApp->installEventFilter(&guard);
        QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
        QTimer::singleShot(SavingRecordings::graceMilliseconds + 100, qApp, [&] {
            EXPECT_EQ(recording.state(), State::Ready);
            EXPECT_EQ(shown, 1);
            EXPECT_TRUE(panel.message().endsWith(QStringLiteral("Quit again to quit now and lose it.")))
                << panel.message().toStdString();
            if (twice)
                QCoreApplication::quit();
            else
                slow->finishSaving();
        });
        QTimer watchdog;
        watchdog.callOnTimeout([] { QCoreApplication::exit(99); });
        watchdog.start(5000);
        EXPECT_EQ(QCoreApplication::exec(), twice ? 1 : 0);
        qApp->removeEventFilter(&guard);
        EXPECT_EQ(guard.abandonedSeconds(), twice ? std::optional(12.4) : std::nullopt);
        if (twice)
            slow->finishSaving();
    }
}
