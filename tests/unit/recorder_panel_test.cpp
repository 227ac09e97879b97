#include "app/QuitGuard.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeRecorder.h"
#include "fakes/LogCapture.h"
#include "recording/ElapsedTime.h"
#include "ui/LevelBar.h"
#include "ui/RecorderPanel.h"
#include "ui/StatusIndicator.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using Lines = std::vector<std::string>;
using State = RecordingController::State;

TEST(ElapsedTime, FormatsWholeHoursMinutesAndSecondsWithoutWrappingHours)
{
    const std::pair<double, const char *> rows[] = {
        {0, "00 : 00 : 00"},       {0.25, "00 : 00 : 00"},   {59.9, "00 : 00 : 59"},
        {61.5, "00 : 01 : 01"},    {3599.9, "00 : 59 : 59"}, {3600, "01 : 00 : 00"},
        {86399, "23 : 59 : 59"},   {86400, "24 : 00 : 00"},  {359999.75, "99 : 59 : 59"},
        {360000, "100 : 00 : 00"},
    };
    for (const auto &[seconds, text] : rows)
        EXPECT_EQ(formatElapsedTime(seconds).toStdString(), text) << seconds;
    // Never given by the recorder, but must not print garbage.
    EXPECT_EQ(formatElapsedTime(-3).toStdString(), "00 : 00 : 00");
    EXPECT_EQ(formatElapsedTime(std::numeric_limits<double>::quiet_NaN()).toStdString(), "00 : 00 : 00");
    EXPECT_EQ(elapsedSecondsField(125.7), 5);
}

TEST(LevelBarTest, MapsSixtyDecibelsOntoTheBar)
{
    EXPECT_DOUBLE_EQ(LevelBar::shareOf(0.0f), 1.0);
    EXPECT_DOUBLE_EQ(LevelBar::shareOf(-30.0f), 0.5);
    EXPECT_DOUBLE_EQ(LevelBar::shareOf(-160.0f), 0.0);
    EXPECT_DOUBLE_EQ(LevelBar::shareOf(3.0f), 1.0);
    EXPECT_DOUBLE_EQ(LevelBar::shareOf(-std::numeric_limits<float>::infinity()), 0.0);
    EXPECT_DOUBLE_EQ(LevelBar::shareOf(std::numeric_limits<float>::quiet_NaN()), 0.0);
}

namespace {
class Panel : public ::testing::Test {
protected:
    Panel() { dialog.answer = {platform::SaveDialog::OK, QStringLiteral("/tmp/x.caf")}; }
    void startRecording()
    {
        QCoreApplication::processEvents(); // the last recording's file is saved
        recording.clickRecord();
        log.clear();
    }
    template <typename T> T *outlet(const char *name)
    {
        return panel.findChild<T *>(QString::fromLatin1(name));
    }
    QString timeShown() { return outlet<QLabel>("timeField")->text(); }

    FakeSaveDialog dialog;
    FakePreferenceStore preferences;
    FakeRecorder *fake = nullptr;
    RecordingController recording{{dialog, preferences,
                                   [] { return std::unique_ptr<platform::AudioInput>(); },
                                   [this](const QString &, const RecordingSettings &,
                                          std::unique_ptr<platform::AudioInput>, QString *) {
                                       auto made = std::make_unique<FakeRecorder>();
                                       fake = made.get();
                                       return made;
                                   }}};
    RecorderPanel panel{recording};
    LogCapture log;
};
} // namespace

TEST_F(Panel, LoadsReadyWithZeroTimeAndItsColours)
{
    EXPECT_EQ(timeShown(), QStringLiteral("00 : 00 : 00"));
    EXPECT_EQ(recording.state(), State::Ready);
    EXPECT_FALSE(recording.choosingWhereToSave()); // the close guard starts open
    EXPECT_TRUE(recording.powerTrace().empty());
    EXPECT_FALSE(recording.hasRecorder());
    EXPECT_FALSE(recording.tickTimer());
    EXPECT_EQ(panel.recordImage(), QStringLiteral("rec"));
    EXPECT_EQ(panel.palette().color(QPalette::Window), QColor(39, 39, 39));
    EXPECT_EQ(outlet<LevelBar>("levelBar")->palette().color(QPalette::Window), QColor(71, 121, 202));
    EXPECT_TRUE(panel.autoFillBackground());
    EXPECT_EQ(outlet<QToolButton>("recordButton")->accessibleName(), QStringLiteral("Record"));
    EXPECT_EQ(outlet<QToolButton>("stopButton")->accessibleName(), QStringLiteral("Stop"));
    EXPECT_EQ(outlet<QLabel>("timeField")->accessibleName(), QStringLiteral("Elapsed time"));
    EXPECT_NE(panel.findChild<QToolButton *>(QStringLiteral("settingsButton")), nullptr);
    EXPECT_EQ(panel.findChild<QToolButton *>(QStringLiteral("settingsButton"))->accessibleName(),
              QStringLiteral("Settings"));
}

TEST_F(Panel, TickWithARecorderSamplesTheLevelAndShowsTheTime)
{
    startRecording();
    fake->time = 61.5;
    fake->peak = -200.5f; // stored as reported, never clamped
    const size_t before = recording.powerTrace().size();
    recording.tick(recording.tickTimer());
    ASSERT_EQ(recording.powerTrace().size(), before + 1);
    EXPECT_EQ(recording.powerTrace().back(), -200.5f);
    EXPECT_EQ(timeShown(), QStringLiteral("00 : 01 : 01"));
    EXPECT_TRUE(recording.tickTimer() && recording.tickTimer()->isActive());
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(Panel, TickWithoutARecorderEndsItsTimerAndTouchesNothingElse)
{
    QTimer stray;
    stray.start(250);
    outlet<QLabel>("timeField")->setText(QStringLiteral("00 : 00 : 07"));
    recording.tick(&stray);
    EXPECT_FALSE(stray.isActive());
    EXPECT_FALSE(recording.tickTimer());
    EXPECT_EQ(timeShown(), QStringLiteral("00 : 00 : 07"));
    EXPECT_TRUE(recording.powerTrace().empty());
}

TEST_F(Panel, StopWithoutARecordingOnlyLogs)
{
    recording.stop();
    recording.stop();
    EXPECT_EQ(log.lines(), (Lines{"stop", "stop"}));
    EXPECT_EQ(panel.recordImage(), QStringLiteral("rec"));
    EXPECT_EQ(recording.state(), State::Ready);
}

TEST_F(Panel, StopWhileRunningOrPausedCompletesTheRecordingAndResetsThePanel)
{
    for (bool paused : {false, true}) {
        startRecording();
        fake->time = 125.7;
        auto calls = fake->calls;
        if (paused)
            recording.clickRecord();
        recording.tick(recording.tickTimer());
        log.clear();

        recording.stop();
        EXPECT_EQ(log.lines(), (Lines{"stop", "stoppo la registrazione", "secondiegistrazione : 5"}))
            << paused;
        EXPECT_EQ(calls->back(), "stop");
        EXPECT_FALSE(recording.hasRecorder());
        EXPECT_FALSE(recording.tickTimer());
        EXPECT_TRUE(recording.powerTrace().empty());
        EXPECT_EQ(recording.state(), State::Ready);
        EXPECT_EQ(panel.recordImage(), QStringLiteral("rec"));
        EXPECT_EQ(timeShown(), QStringLiteral("00 : 00 : 00"));
        EXPECT_DOUBLE_EQ(outlet<LevelBar>("levelBar")->filledShare(), 0.0);

        log.clear();
        recording.stop();
        EXPECT_EQ(log.lines(), Lines{"stop"});
    }
}

TEST_F(Panel, PauseAndResumeWalkTheStatesAndNeverLeaveTwoTimers)
{
    startRecording();
    auto calls = fake->calls;
    ASSERT_EQ(recording.state(), State::Recording);
    std::vector<QPointer<QTimer>> timers;
    for (int round = 0; round < 3; ++round) {
        QPointer<QTimer> released = recording.tickTimer();
        timers.push_back(released);
        recording.clickRecord();
        EXPECT_EQ(log.lines(), Lines{"pausa registrazione"});
        EXPECT_EQ(recording.state(), State::Paused);
        EXPECT_EQ(panel.recordImage(), QStringLiteral("rec"));
        EXPECT_EQ(outlet<QToolButton>("recordButton")->accessibleName(), QStringLiteral("Record"));
        EXPECT_FALSE(recording.tickTimer());
        ASSERT_FALSE(released.isNull() || released->isActive());
        EXPECT_EQ(calls->back(), "pause");
        const size_t samples = recording.powerTrace().size();
        log.clear();

        recording.clickRecord();
        EXPECT_EQ(log.lines(), Lines{"riavvio registrazione"});
        EXPECT_EQ(recording.state(), State::Recording);
        EXPECT_EQ(panel.recordImage(), QStringLiteral("pause"));
        EXPECT_EQ(outlet<QToolButton>("recordButton")->accessibleName(), QStringLiteral("Pause"));
        ASSERT_TRUE(recording.tickTimer());
        EXPECT_TRUE(recording.tickTimer()->isActive());
        EXPECT_EQ(recording.powerTrace().size(), samples + 1); // the new timer ticked at once
        log.clear();
    }
    // Every released timer is stopped and then deleted; only the current one runs.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QPointer<QTimer> &old : timers)
        EXPECT_TRUE(old.isNull());
    EXPECT_TRUE(recording.tickTimer()->isActive());
}

TEST_F(Panel, ARecordingThatFailsByItselfEndsAndTellsTheUser)
{
    startRecording();
    QString told;
    QObject::connect(&panel, &RecorderPanel::userMessage, [&told](const QString &text) { told = text; });
    fake->fail(QStringLiteral("The disk is full."));
    QCoreApplication::processEvents();
    EXPECT_EQ(recording.state(), State::Ready);
    EXPECT_FALSE(recording.hasRecorder());
    EXPECT_FALSE(recording.tickTimer());
    EXPECT_EQ(panel.recordImage(), QStringLiteral("rec"));
    EXPECT_TRUE(told.contains(QStringLiteral("The disk is full.")));
    EXPECT_TRUE(panel.message().contains(QStringLiteral("The disk is full.")));

    // The panel stays usable: the next press starts a new recording.
    QCoreApplication::processEvents();
    recording.clickRecord();
    EXPECT_EQ(recording.state(), State::Recording);
    EXPECT_TRUE(panel.message().isEmpty());
}

TEST_F(Panel, QuitCompletesARunningRecording)
{
    startRecording();
    auto calls = fake->calls;
    EXPECT_TRUE(recording.finishBeforeQuit());
    EXPECT_EQ(calls->back(), "stop");
    EXPECT_EQ(recording.state(), State::Ready);
}

TEST_F(Panel, AFileThatCannotBeCompletedIsToldAndNeverCalledSaved)
{
    const QString failure = QStringLiteral("Cannot complete “x.caf”: Input/output error.");
    QStringList told;
    QObject::connect(&panel, &RecorderPanel::userMessage, [&told](const QString &text) { told << text; });
    // Stopped by the user, at quit, and at quit with the recorder's own failure still queued.
    for (int way = 0; way < 3; ++way) {
        startRecording();
        if (way < 2)
            fake->completionFailure = failure;
        else
            fake->fail(failure, false);
        if (way == 0) {
            recording.stop();
            QCoreApplication::processEvents();
        } else {
            QString why;
            EXPECT_FALSE(recording.finishBeforeQuit(&why)) << way;
            EXPECT_EQ(why, failure) << way;
        }
        EXPECT_EQ(recording.state(), State::Ready);
        EXPECT_TRUE(panel.message().contains(failure)) << way;
        EXPECT_FALSE(panel.message().contains(QStringLiteral("saved"))) << way;
        if (way == 0) {
            EXPECT_EQ(log.lines(), (Lines{"stop", "stoppo la registrazione", "secondiegistrazione : 0",
                                          "recording ended : " + failure.toStdString()}));
        }
    }
    EXPECT_EQ(told.size(), 3);
    // Completed as it should be: nothing to tell.
    startRecording();
    EXPECT_TRUE(recording.finishBeforeQuit());
}

TEST_F(Panel, AFileStillBeingSavedIsToldUntilItIsCompleteWhileTheNextRecordingRuns)
{
    FakeStatusItem item;
    StatusIndicator indicator(recording, item);
    startRecording();
    FakeRecorder *slow = fake;
    slow->slowDisk = true;
    slow->toSave = 12.4;
    recording.stop();
    EXPECT_EQ(recording.state(), State::Ready);
    const QString saving = QStringLiteral("Saving… 12 s of audio still to write");
    QTest::qWait(SavingRecordings::graceMilliseconds + 50);
    EXPECT_EQ(panel.message(), saving);
    EXPECT_EQ(item.toolTip, saving);

    // Not into the file still being written; into another one, yes.
    recording.clickRecord();
    EXPECT_EQ(recording.state(), State::Ready);
    EXPECT_TRUE(panel.message().contains(QStringLiteral("“/tmp/x.caf” is still being saved")))
        << panel.message().toStdString();
    dialog.answer.path = QStringLiteral("/tmp/y.caf");
    recording.clickRecord();
    EXPECT_EQ(recording.state(), State::Recording);
    EXPECT_EQ(panel.message(), saving);
    EXPECT_EQ(item.toolTip, QStringLiteral("Recording 00 : 00 : 00\n") + saving);

    slow->finishSaving();
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.message(), QString());
    EXPECT_EQ(item.toolTip, QStringLiteral("Recording 00 : 00 : 00"));
}

TEST_F(Panel, AQuitWaitsForTheFileAndASecondQuitGivesUpWhatIsLeft)
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

TEST_F(Panel, AGapIsToldOnceWithItsLengthAndPlace)
{
    startRecording();
    QStringList told;
    QObject::connect(&panel, &RecorderPanel::userMessage, [&told](const QString &text) { told << text; });
    testing::internal::CaptureStderr();
    emit fake->audioMissing(2.44, 751.6);
    QCoreApplication::processEvents();
    recording.tick(recording.tickTimer());
    const std::string stderrText = testing::internal::GetCapturedStderr();
    EXPECT_EQ(told, QStringList{QStringLiteral("2.4 s missing at 00 : 12 : 31")});
    EXPECT_EQ(panel.message(), told.value(0));
    EXPECT_EQ(std::count(stderrText.begin(), stderrText.end(), '\n'), 1) << stderrText;
    EXPECT_NE(stderrText.find("2.4 s missing at 00 : 12 : 31"), std::string::npos);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(Panel, PausingShowsTheRecordersTimeAtThatMoment)
{
    startRecording();
    fake->time = 10.9; // recorded since the last tick
    recording.clickRecord();
    EXPECT_EQ(timeShown(), QStringLiteral("00 : 00 : 10"));
    EXPECT_EQ(log.lines(), Lines{"pausa registrazione"});
}
