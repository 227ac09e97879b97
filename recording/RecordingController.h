#pragma once

#include "engine/Recorder.h"
#include "engine/SampleRate.h"
#include "platform/AudioInput.h"
#include "platform/SaveDialog.h"
#include "recording/SavingRecordings.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class BackgroundWork;
class QSettings;

// One recording at a time, from the record button's first press to stop: the Ready / Recording /
// Paused state, the recorder's lifecycle (the input opened early, the save dialog, creation,
// record, pause, resume, stop), the 0.25 s tick that samples the time and the level, the close
// guard while the dialog is up, and the messages that tell the user what went wrong. A stopped
// recording's file is completed in the background (saving()) while the panel is ready for the
// next one. It knows nothing of widgets: a view shows what its signals say and forwards the
// user's presses.
class RecordingController : public QObject {
    Q_OBJECT
public:
    // Ready: nothing is being recorded. Recording: the microphone goes into the file. Paused: a
    // recording is held and can be resumed.
    enum class State { Ready = 0, Recording = 1, Paused = 2 };
    Q_ENUM(State)

    // A recorder for `path`, or nullptr with why in `*error`.
    using RecorderFactory = std::function<std::unique_ptr<Recorder>(
        const QString &path, SampleRate rate, std::unique_ptr<platform::AudioInput> input,
        TranslatableText *error)>;

    struct Services {
        platform::SaveDialog &saveDialog;
        QSettings &preferences;
        platform::AudioInputFactory makeInput;
        RecorderFactory makeRecorder;
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    };

    static constexpr int tickMilliseconds = 250;
    // How long the UI thread waits for the sound server before it says so and goes on with its
    // event loop running (a server that is stopped answers never).
    static constexpr std::chrono::milliseconds soundServerPatience{100};

    explicit RecordingController(Services services, QObject *parent = nullptr);
    ~RecordingController() override;

    // The record button: starts a recording when ready, pauses a running one, resumes a paused one.
    void clickRecord();
    // Ends the recording, running or paused, at once: the panel is ready again, and the file is
    // completed in the background (saving()). A file that cannot be completed is told then.
    void stop();

    // How the application is asked to end. WhenSaved: the recording is stopped, and the
    // application goes on answering while every file is completed (the menu's Quit, a signal,
    // the end of the session). DisplayGone: the toolkit ends the process as soon as this returns,
    // so the files are completed here and now, touching nothing the display shows.
    enum class Quit { WhenSaved, DisplayGone };
    // What the application may end with, once readyToQuit() says so.
    struct QuitOutcome {
        Quit how = Quit::WhenSaved;
        // Asked again while files were still being written: they were given up, with this much
        // audio not written.
        std::optional<double> abandonedSeconds;
        // Why files could not be completed.
        QList<TranslatableText> failures;
    };
    // The one road to quitting: answered by readyToQuit(), once, at once when nothing is being
    // recorded or saved. Asked again while it waits, it gives up what is left.
    void requestQuit(Quit how = Quit::WhenSaved);
    // A quit waits for files past the first moment: the user should see what is left.
    bool quitWaits() const { return quitWaiting; }
    // One tick: the level and the time of the recorder, or, without a recorder, the end of the
    // tick.
    void tick();

    State state() const { return current; }
    // A start is under way: the save dialog is up, waiting for the user, or the recorder is
    // being created once it was confirmed. The close guard holds the panel open, and the record
    // and stop buttons wait.
    bool choosingWhereToSave() const { return starting != Start::None; }
    // The record button's image: "rec" or "pause".
    QString recordImage() const { return imageName; }
    QString timeText() const { return shownTime; }
    // The recorder's own time now, whether or not the tick runs; 0 without a recording.
    double elapsedSeconds() const { return recorder ? recorder->currentTime() : 0.0; }
    QString message() const { return shownMessage; }
    // The recordings whose files are still being completed, and the text that says so.
    SavingRecordings &saving() { return savingFiles; }
    const SavingRecordings &saving() const { return savingFiles; }
    // A recording runs or is paused, or a file is still being saved.
    bool busy() const { return current != State::Ready || !savingFiles.isEmpty(); }
    // Peak levels of the current recording, one per tick.
    const std::vector<float> &powerTrace() const { return levels; }
    // The tick's timer while it runs.
    const QTimer *tickTimer() const { return tickClock.isActive() ? &tickClock : nullptr; }
    bool hasRecorder() const { return recorder != nullptr; }

signals:
    void stateChanged(RecordingController::State state);
    void recordImageChanged(const QString &name);
    void timeTextChanged(const QString &text);
    // The latest peak level in dBFS.
    void levelChanged(float peakDb);
    // Nothing is being recorded any more: no level to show.
    void levelCleared();
    // Something the user must read (empty: the previous message is gone).
    void messageChanged(const QString &text);
    // A quit waits for files still being written (quitWaits()).
    void quitWaitStarted();
    // The application may end now, with `outcome`. Emitted once.
    void readyToQuit(const RecordingController::QuitOutcome &outcome);

private:
    void startRecording();
    void whereToSaveChosen(const platform::SaveDialog::Result &answer);
    void recorderCreated();
    // Closes the input opened for a recording that did not take it, once it has opened.
    void discardInput();
    // The end of a start: the recording begins with `made`, or, without it, `error` is told.
    // `error` goes to the log as it is; `shownError`, where given, is what the panel says instead.
    void startWith(const QString &path, std::unique_ptr<Recorder> made, const TranslatableText &error);
    void setState(State state);
    void setRecordImage(const QString &name);
    void showTime(double seconds);
    void showMessage(const QString &text);
    void startTick();
    void endTick();
    void finishRecording(bool failureTold = false);
    // Answers a quit once nothing is being recorded or saved any more.
    void quitIfDone();
    // Completes the files of the recording and of those being saved, waiting for the disk and
    // telling no one. Returns why those that could not be completed were not.
    QList<TranslatableText> completeFilesNow();
    void recordingFailed(Recorder *from, const TranslatableText &reason, bool saved);
    void fileNotSaved(const TranslatableText &failure);
    void audioMissing(double seconds, double atSeconds);
    void inputChanged(const QString &name);
    void notice(const TranslatableText &text);

    Services services;
    State current = State::Ready;
    // The steps of a start, from the record button to a running recording.
    enum class Start { None, ChoosingWhereToSave, CreatingRecorder };
    Start starting = Start::None;
    // The input opened for the next recording while the dialog is up, and its opening.
    std::unique_ptr<platform::AudioInput> input;
    std::unique_ptr<BackgroundWork> opening;
    // What the creation of a recorder works on, on a thread of its own, and what it makes.
    struct Creation {
        QString path;
        std::unique_ptr<BackgroundWork> opening;
        std::unique_ptr<platform::AudioInput> input;
        std::unique_ptr<Recorder> recorder;
        TranslatableText error;
    };
    std::unique_ptr<Creation> creation;
    std::unique_ptr<BackgroundWork> creating;
    bool waitingShown = false; // the panel says the creation waits for the sound server
    // An input that no recording took, still opening when it was given up.
    struct UnusedInput {
        std::unique_ptr<BackgroundWork> opening;
        std::unique_ptr<platform::AudioInput> input;
        std::unique_ptr<BackgroundWork> earlier; // the one given up before it
    };
    std::unique_ptr<BackgroundWork> discarding;
    bool quitAsked = false;
    bool quitWaiting = false;
    bool quitAnswered = false;
    QList<TranslatableText> quitFailures;
    std::unique_ptr<Recorder> recorder;
    QString recordingPath; // the file of `recorder`
    SavingRecordings savingFiles;
    QTimer tickClock;
    std::vector<float> levels;
    QString imageName = QStringLiteral("rec");
    QString shownTime;
    QString shownMessage;
};
