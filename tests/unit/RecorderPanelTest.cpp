#include "ContrastRatio.h"
#include "RecorderPanelFixture.h"
#include "app/Translations.h"
#include "ui/LevelBar.h"

#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using RecorderPanelTest = RecorderPanelFixture;
using Lines = RecorderPanelFixture::Lines;
using State = RecordingController::State;

TEST_F(RecorderPanelTest, LoadsReadyWithZeroTimeAndItsColours)
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

TEST_F(RecorderPanelTest, TickWithARecorderSamplesTheLevelAndShowsTheTime)
{
    startRecording();
    fake->time = 61.5;
    fake->peak = -200.5f; // stored as reported, never clamped
    const size_t before = recording.powerTrace().size();
    recording.tick();
    ASSERT_EQ(recording.powerTrace().size(), before + 1);
    EXPECT_EQ(recording.powerTrace().back(), -200.5f);
    EXPECT_EQ(timeShown(), QStringLiteral("00 : 01 : 01"));
    EXPECT_TRUE(recording.tickTimer() && recording.tickTimer()->isActive());
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(RecorderPanelTest, TickWithoutARecorderEndsItsTimerAndTouchesNothingElse)
{
    outlet<QLabel>("timeField")->setText(QStringLiteral("00 : 00 : 07"));
    recording.tick();
    EXPECT_FALSE(recording.tickTimer());
    EXPECT_EQ(timeShown(), QStringLiteral("00 : 00 : 07"));
    EXPECT_TRUE(recording.powerTrace().empty());
}

TEST_F(RecorderPanelTest, StopWithoutARecordingOnlyLogs)
{
    recording.stop();
    recording.stop();
    EXPECT_EQ(log.lines(), (Lines{"stop", "stop"}));
    EXPECT_EQ(panel.recordImage(), QStringLiteral("rec"));
    EXPECT_EQ(recording.state(), State::Ready);
}

TEST_F(RecorderPanelTest, StopWhileRunningOrPausedCompletesTheRecordingAndResetsThePanel)
{
    for (bool paused : {false, true}) {
        startRecording();
        fake->time = 125.7;
        auto calls = fake->calls;
        if (paused)
            recording.clickRecord();
        recording.tick();
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

TEST_F(RecorderPanelTest, PauseAndResumeWalkTheStatesAndTheTickFollows)
{
    startRecording();
    auto calls = fake->calls;
    ASSERT_EQ(recording.state(), State::Recording);
    for (int round = 0; round < 3; ++round) {
        recording.clickRecord();
        EXPECT_EQ(log.lines(), Lines{"pausa registrazione"});
        EXPECT_EQ(recording.state(), State::Paused);
        EXPECT_EQ(panel.recordImage(), QStringLiteral("rec"));
        EXPECT_EQ(outlet<QToolButton>("recordButton")->accessibleName(), QStringLiteral("Record"));
        EXPECT_FALSE(recording.tickTimer());
        EXPECT_EQ(calls->back(), "pause");
        const size_t samples = recording.powerTrace().size();
        log.clear();

        recording.clickRecord();
        EXPECT_EQ(log.lines(), Lines{"riavvio registrazione"});
        EXPECT_EQ(recording.state(), State::Recording);
        EXPECT_EQ(panel.recordImage(), QStringLiteral("pause"));
        EXPECT_EQ(outlet<QToolButton>("recordButton")->accessibleName(), QStringLiteral("Pause"));
        ASSERT_TRUE(recording.tickTimer());
        EXPECT_EQ(recording.powerTrace().size(), samples + 1); // the tick ran at once
        log.clear();
    }
}

TEST_F(RecorderPanelTest, ARecordingThatFailsByItselfEndsAndTellsTheUser)
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

TEST_F(RecorderPanelTest, AFailureIsShownInTheUsersLanguageAndLoggedInEnglish)
{
    const Translations italian({QStringLiteral("it-IT")});
    startRecording();
    fake->fail({"Microphone", QT_TRANSLATE_NOOP("Microphone", "The microphone was disconnected.")});
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.message(),
              QStringLiteral("La registrazione si è interrotta: Il microfono è stato scollegato. "
                             "Tutto ciò che è stato registrato fino ad allora è salvato."));
    const Lines lines = log.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "recording ended : The microphone was disconnected."),
              lines.end());
}

TEST_F(RecorderPanelTest, AFileThatCannotBeCompletedIsToldAndNeverCalledSaved)
{
    const QString failure = QStringLiteral("Cannot complete “x.caf”: Input/output error.");
    startRecording();
    fake->completionFailure = failure;
    recording.stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(recording.state(), State::Ready);
    EXPECT_TRUE(panel.message().contains(failure));
    EXPECT_FALSE(panel.message().contains(QStringLiteral("saved")));
    EXPECT_EQ(log.lines(), (Lines{"stop", "stoppo la registrazione", "secondiegistrazione : 0",
                                  "recording ended : " + failure.toStdString()}));
}

// A quit, however the recording and its file fare: the controller answers once, with what the
// application ends with.
struct QuitCase {
    const char *situation;
    enum { Healthy, SlowDisk, CompletionFails, FailedBeforeTheQuit } disk;
    int quits;
    std::optional<double> abandoned;
    bool fails;
};

class QuitTest : public RecorderPanelFixture, public ::testing::WithParamInterface<QuitCase> {};

TEST_P(QuitTest, AQuitStopsTheRecordingWaitsForItsFileAndAnswersOnce)
{
    const QuitCase &c = GetParam();
    const QString failure = QStringLiteral("Cannot complete “x.caf”: Input/output error.");
    startRecording();
    FakeRecorder *made = fake;
    auto calls = made->calls;
    if (c.disk == QuitCase::SlowDisk) {
        made->slowDisk = true;
        made->toSave = 12.4;
        // Past the first moment the recorder says what the quit waits for; the file then completes.
        QTimer::singleShot(SavingRecordings::graceMilliseconds + 100, &panel, [&] {
            EXPECT_TRUE(recording.quitWaits());
            EXPECT_TRUE(panel.message().endsWith(QStringLiteral("Quit again to quit now and lose it.")))
                << panel.message().toStdString();
            if (c.quits == 1)
                made->finishSaving();
        });
    }
    if (c.disk == QuitCase::CompletionFails)
        made->completionFailure = failure;
    if (c.disk == QuitCase::FailedBeforeTheQuit)
        made->fail(failure, false); // still queued when the quit comes

    std::optional<RecordingController::QuitOutcome> outcome = quit(c.quits == 2 ? 600 : 5000);
    if (c.quits == 2) {
        ASSERT_FALSE(outcome) << "answered before the file was saved";
        outcome = quit();
    }
    ASSERT_TRUE(outcome);
    EXPECT_EQ(recording.state(), State::Ready);
    EXPECT_EQ(calls->back(), "stop");
    EXPECT_EQ(outcome->abandonedSeconds, c.abandoned);
    ASSERT_EQ(outcome->failures.size(), c.fails ? 1 : 0);
    if (c.fails) {
        EXPECT_EQ(outcome->failures[0].english(), failure);
        EXPECT_TRUE(panel.message().contains(failure));
    }
    // Answered once: a later request is not answered again.
    EXPECT_FALSE(quit(100));
    if (c.disk == QuitCase::SlowDisk && c.quits == 2)
        made->finishSaving();
}

INSTANTIATE_TEST_SUITE_P(
    Situations, QuitTest,
    ::testing::Values(QuitCase{"healthy disk", QuitCase::Healthy, 1, std::nullopt, false},
                      QuitCase{"slow disk, waited for", QuitCase::SlowDisk, 1, std::nullopt, false},
                      QuitCase{"slow disk, quit twice", QuitCase::SlowDisk, 2, 12.4, false},
                      QuitCase{"completion fails", QuitCase::CompletionFails, 1, std::nullopt, true},
                      QuitCase{"failed before the quit", QuitCase::FailedBeforeTheQuit, 1, std::nullopt,
                               true}),
    [](const auto &info) {
        std::string name = info.param.situation;
        std::erase_if(name, [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); });
        return name;
    });

TEST_F(RecorderPanelTest, AGapIsToldOnceWithItsLengthAndPlace)
{
    startRecording();
    QStringList told;
    QObject::connect(&panel, &RecorderPanel::userMessage, [&told](const QString &text) { told << text; });
    testing::internal::CaptureStderr();
    emit fake->audioMissing(2.44, 751.6);
    QCoreApplication::processEvents();
    recording.tick();
    const std::string stderrText = testing::internal::GetCapturedStderr();
    EXPECT_EQ(told, QStringList{QStringLiteral("2.4 s missing at 00 : 12 : 31")});
    EXPECT_EQ(panel.message(), told.value(0));
    EXPECT_EQ(std::count(stderrText.begin(), stderrText.end(), '\n'), 1) << stderrText;
    EXPECT_NE(stderrText.find("2.4 s missing at 00 : 12 : 31"), std::string::npos);
    EXPECT_TRUE(log.lines().empty());
}

// A name found in the folder, or a device's description, can hold anything: the panel shows
// markup as text, and standard error shows a newline or ESC escaped.
TEST_F(RecorderPanelTest, NamesAreShownAsTextNeverAsMarkup)
{
    startRecording();
    const QString text =
        QStringLiteral("A recording interrupted earlier was saved as \u201c/music/<b>Saved</b><br>"
                       "<a href=\"x\">ok</a>\n\x1b[2J.caf\u201d");
    testing::internal::CaptureStderr();
    emit fake->notice(TranslatableText::verbatim(text));
    QCoreApplication::processEvents();
    const std::string stderrText = testing::internal::GetCapturedStderr();
    const auto *field = outlet<QLabel>("messageField");
    EXPECT_EQ(field->textFormat(), Qt::PlainText);
    EXPECT_EQ(field->text(), text);
    EXPECT_EQ(std::count(stderrText.begin(), stderrText.end(), '\n'), 1) << stderrText;
    EXPECT_NE(stderrText.find("<br><a href=\"x\">ok</a>\\n\\x1b[2J.caf"), std::string::npos) << stderrText;
}

TEST_F(RecorderPanelTest, PausingShowsTheRecordersTimeAtThatMoment)
{
    startRecording();
    fake->time = 10.9; // recorded since the last tick
    recording.clickRecord();
    EXPECT_EQ(timeShown(), QStringLiteral("00 : 00 : 10"));
    EXPECT_EQ(log.lines(), Lines{"pausa registrazione"});
}

namespace {

// The panel inside a window of its own, as the popover holds it.
class HiddenRecorderPanelTest : public ::testing::Test {
protected:
    HiddenRecorderPanelTest()
    {
        dialog.answer = {platform::SaveDialog::OK, QStringLiteral("/tmp/x.caf")};
        panel = new RecorderPanel(controller, nullptr, &popover);
        (new QVBoxLayout(&popover))->addWidget(panel);
    }
    // Ticks that ran over `milliseconds` of the event loop (the timer's interval is 250 ms).
    size_t ticksDuring(int milliseconds)
    {
        const size_t before = controller.powerTrace().size();
        QTest::qWait(milliseconds);
        return controller.powerTrace().size() - before;
    }

    QString timeShown() const { return panel->findChild<QLabel *>(QStringLiteral("timeField"))->text(); }

    FakeSaveDialog dialog;
    TestPreferences preferences;
    FakeRecorder *fake = nullptr;
    RecordingController controller{{dialog, preferences, [] { return nullptr; },
                                    [this](const QString &, SampleRate, std::unique_ptr<platform::AudioInput>,
                                           TranslatableText *) -> std::unique_ptr<Recorder> {
                                        auto made = std::make_unique<FakeRecorder>();
                                        fake = made.get();
                                        return made;
                                    }}};
    QWidget popover;
    RecorderPanel *panel = nullptr;
    LogCapture log;
};

} // namespace

// The level is sampled for the whole recording, whether the panel is open or not: the trace
// has no hole for the minutes the popover was closed, and the panel shows the time at once.
TEST_F(HiddenRecorderPanelTest, TheTickRunsForTheWholeRecordingOpenOrClosed)
{
    popover.show();
    controller.clickRecord();
    ASSERT_TRUE(fake && controller.tickTimer());
    EXPECT_GE(ticksDuring(900), 2u);

    popover.hide();
    EXPECT_GE(ticksDuring(900), 2u) << "the trace goes on while the panel is closed";
    fake->time = 75.2;
    QTest::qWait(300);
    EXPECT_NE(timeShown(), QStringLiteral("00 : 01 : 15")) << "closed, the panel does not draw the time";
    popover.show();
    EXPECT_EQ(timeShown(), QStringLiteral("00 : 01 : 15"));

    controller.clickRecord(); // pause: the tick ends, and neither hiding nor showing brings it back
    popover.hide();
    popover.show();
    EXPECT_FALSE(controller.tickTimer());
}

// The keyboard on the panel's focused button: Space presses it, as Return and Enter do; Escape
// asks to close the panel and leaves the recording as it was.
TEST_F(RecorderPanelTest, KeysActOnTheFocusedButtonAndEscapeAsksToCloseOnly)
{
    struct Case {
        Qt::Key key;
        const char *button;
        bool recordingFirst;
        State after;
        bool closeAsked;
    };
    const Case cases[] = {
        {Qt::Key_Space, "recordButton", false, State::Recording, false},
        {Qt::Key_Return, "recordButton", false, State::Recording, false},
        {Qt::Key_Enter, "recordButton", true, State::Paused, false},
        {Qt::Key_Return, "stopButton", true, State::Ready, false},
        {Qt::Key_Escape, "recordButton", true, State::Recording, true},
    };
    panel.show();
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    for (const Case &c : cases) {
        if (c.recordingFirst)
            startRecording();
        auto *button = outlet<QToolButton>(c.button);
        button->setFocus();
        ASSERT_EQ(panel.focusWidget(), button);
        int closeAsked = 0;
        const QMetaObject::Connection counting =
            QObject::connect(&panel, &RecorderPanel::closeRequested, [&closeAsked] { ++closeAsked; });
        QTest::keyClick(button, c.key, c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QObject::disconnect(counting);
        EXPECT_EQ(recording.state(), c.after) << c.key;
        EXPECT_EQ(closeAsked, c.closeAsked ? 1 : 0) << c.key;
        recording.stop();
        QCoreApplication::processEvents(); // the file is saved
    }
}

// WCAG's non-text contrast: the ring of the focused button, as drawn, is 3:1 or more against the
// panel behind it.
TEST_F(RecorderPanelTest, TheFocusRingStandsOutFromThePanel)
{
    panel.show();
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    auto *button = outlet<QToolButton>("stopButton");
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    const QImage drawn = panel.grab().toImage();
    const QPoint edge = button->mapTo(&panel, QPoint(0, button->height() / 2));
    const QColor ring = drawn.pixelColor(edge), behind = drawn.pixelColor(edge - QPoint(3, 0));
    EXPECT_GE(contrastRatio(ring, behind), 3.0)
        << qPrintable(ring.name()) << " on " << qPrintable(behind.name());
}
