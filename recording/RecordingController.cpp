#include "recording/RecordingController.h"

#include "engine/BenchTrace.h"
#include "platform/Log.h"
#include "recording/BackgroundWork.h"
#include "recording/ElapsedTime.h"
#include "recording/QualityPreset.h"
#include "recording/RecordingFileName.h"
#include "recording/RecordingFolder.h"

#include <QDir>
#include <QLocale>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <utility>

RecordingController::RecordingController(Services services, QObject *parent)
    : QObject(parent), services(std::move(services)), shownTime(formatElapsedTime(0))
{
    tickClock.setInterval(tickMilliseconds);
    connect(&tickClock, &QTimer::timeout, this, &RecordingController::tick);
    connect(&savingFiles, &SavingRecordings::saveFailed, this, &RecordingController::fileNotSaved);
    connect(&savingFiles, &SavingRecordings::fileSaved, this,
            [this](const SavingRecordings::SavedFile &file) {
                if (quitAsked && !file.complete)
                    quitFailures << file.failure;
            });
    connect(&savingFiles, &SavingRecordings::allSaved, this, &RecordingController::quitIfDone);
    benchtrace::watchUiThread(this);
}

RecordingController::~RecordingController()
{
    // The threads that may still tell this object something end first.
    creating.reset();
    discarding.reset();
}

void RecordingController::setState(State state)
{
    current = state;
    emit stateChanged(state);
}

void RecordingController::setRecordImage(const QString &name)
{
    imageName = name;
    emit recordImageChanged(name);
}

void RecordingController::showTime(double seconds)
{
    const QString text = formatElapsedTime(seconds);
    if (text == shownTime)
        return;
    shownTime = text;
    emit timeTextChanged(text);
}

void RecordingController::showMessage(const QString &text)
{
    shownMessage = text;
    emit messageChanged(text);
}

void RecordingController::clickRecord()
{
    // A start is under way: the dialog is up, or the sound server is waited for after it.
    if (starting != Start::None)
        return;
    switch (current) {
    case State::Ready:
        Log::line("parte la registrazione");
        startRecording();
        return;
    case State::Recording:
        setState(State::Paused);
        Log::line("pausa registrazione");
        setRecordImage(QStringLiteral("rec"));
        if (recorder) {
            recorder->pause();
            // The last tick may be up to a quarter of a second old: show what the file holds.
            showTime(recorder->currentTime());
        }
        endTick();
        return;
    case State::Paused:
        benchtrace::mark("resume pressed");
        setState(State::Recording);
        Log::line("riavvio registrazione");
        setRecordImage(QStringLiteral("pause"));
        if (recorder)
            recorder->record();
        startTick();
        return;
    }
}

void RecordingController::startRecording()
{
    Log::line("createRecorder");
    starting = Start::ChoosingWhereToSave;
    showMessage({});

    // The sound server takes up to a second to deliver the first samples of a new input:
    // open it now, while the user is in the dialog, so the first words after confirming are
    // captured, at the rate of the preset as it is now (the recorder opens it again if the preset
    // changes meanwhile). What arrives before the recording starts is dropped. It opens on a
    // thread of its own: a server that does not answer holds up nothing.
    input = services.makeInput();
    opening = std::make_unique<BackgroundWork>(
        [opened = input.get(), rate = hertz(sampleRateFor(QualityPresets::read(services.preferences)))] {
            TranslatableText inputError;
            if (opened && !opened->open(rate, &inputError))
                Log::diagnostic(inputError.english());
        });
    services.saveDialog.open(
        proposedRecordingName(services.now()), {QStringLiteral("caf")},
        RecordingFolder::start(services.preferences), this,
        [this](const platform::SaveDialog::Result &answer) { whereToSaveChosen(answer); });
}

void RecordingController::whereToSaveChosen(const platform::SaveDialog::Result &answer)
{
    if (answer.response != platform::SaveDialog::OK) {
        Log::line(answer.response == platform::SaveDialog::Cancel ? "canceled" : "test");
        discardInput();
        starting = Start::None;
        Log::line("+++++++++++++++++++++++++++++++++++++++");
        return;
    }

    benchtrace::mark("dialog confirmed");
    // A file still being completed has a writer of its own: a second one would overwrite it.
    if (savingFiles.holds(answer.path)) {
        discardInput();
        startWith(
            answer.path, nullptr,
            TranslatableText(
                "RecordingController",
                QT_TR_NOOP("“%1” is still being saved. Choose another name, or wait until it is saved."))
                .arg(QDir::toNativeSeparators(answer.path)));
        return;
    }
    // Creating the recorder, once the input has opened or given up, asks the sound server which
    // input is the default, and may open it again: on a thread of its own, waited for a moment,
    // then with the panel saying so.
    starting = Start::CreatingRecorder;
    creation = std::make_unique<Creation>();
    creation->path = answer.path;
    creation->opening = std::move(opening);
    creation->input = std::move(input);
    creating = std::make_unique<BackgroundWork>(
        [made = creation.get(), rate = sampleRateFor(QualityPresets::read(services.preferences)),
         makeRecorder = services.makeRecorder, uiThread = thread()] {
            made->opening.reset();
            made->recorder = makeRecorder(made->path, rate, std::move(made->input), &made->error);
            if (made->recorder)
                made->recorder->moveToThread(uiThread);
        },
        this, [this] { recorderCreated(); });
    if (!creating->waitFor(soundServerPatience)) {
        showMessage(tr("Waiting for the sound server…"));
        waitingShown = true;
        return;
    }
    recorderCreated();
}

void RecordingController::recorderCreated()
{
    // Told twice when it was waited for: the first time counts.
    if (!creating || !creating->waitFor(std::chrono::milliseconds(0)))
        return;
    creating.reset();
    const std::unique_ptr<Creation> made = std::move(creation);
    if (std::exchange(waitingShown, false))
        showMessage({});
    if (quitAsked) {
        // The application is ending: the recorder goes unstarted, leaving no file.
        made->recorder.reset();
        starting = Start::None;
        quitIfDone();
        return;
    }
    startWith(made->path, std::move(made->recorder), made->error);
}

void RecordingController::discardInput()
{
    if (!opening || opening->waitFor(soundServerPatience)) {
        opening.reset();
        if (input)
            input->close();
        input.reset();
        return;
    }
    // Still opening, on a sound server that does not answer: it is closed on a thread of its own
    // once it has opened or given up.
    auto unused = std::make_shared<UnusedInput>(
        UnusedInput{std::move(opening), std::move(input), std::move(discarding)});
    discarding = std::make_unique<BackgroundWork>([unused] {
        unused->earlier.reset();
        unused->opening.reset();
        if (unused->input)
            unused->input->close();
    });
}

void RecordingController::startWith(const QString &path, std::unique_ptr<Recorder> made,
                                    const TranslatableText &error)
{
    if (made) {
        recorder = std::move(made);
        recordingPath = path;
        Recorder *current = recorder.get();
        connect(
            current, &Recorder::failed, this,
            [this, current](const TranslatableText &reason, bool saved) {
                recordingFailed(current, reason, saved);
            },
            Qt::QueuedConnection);
        connect(current, &Recorder::audioMissing, this, &RecordingController::audioMissing,
                Qt::QueuedConnection);
        connect(current, &Recorder::inputChanged, this, &RecordingController::inputChanged,
                Qt::QueuedConnection);
        connect(current, &Recorder::notice, this, &RecordingController::notice, Qt::QueuedConnection);
        connect(
            current, &Recorder::fileMoved, this,
            [this, current](const QString &moved) {
                if (current == recorder.get())
                    recordingPath = moved;
            },
            Qt::QueuedConnection);
        recorder->setMeteringEnabled(true);
    } else {
        Log::line("Creation of AVAudioRecorder failed");
        Log::line(error.english());
        showMessage(tr("Could not start recording: %1").arg(error.translated()));
    }

    // A recording that did not start keeps the record image: the user must not take a
    // failure for a running recording.
    if (recorder) {
        setRecordImage(QStringLiteral("pause"));
        if (recorder->record()) {
            // After record(): the preferences are written to disk at once.
            RecordingFolder::remember(services.preferences, path);
        } else {
            // It ended before it started (the microphone lost, the file impossible): why is told
            // once its writer has said its last word.
            savingFiles.save(std::move(recorder), recordingPath);
            setRecordImage(QStringLiteral("rec"));
            showMessage(tr("Could not start recording."));
        }
    }
    if (recorder)
        benchtrace::blockUiLater(this);
    startTick();
    starting = Start::None;

    Log::line("+++++++++++++++++++++++++++++++++++++++");
    if (!recorder)
        return;
    Log::line("è partita la registrazione");
    setState(State::Recording);
}

void RecordingController::startTick()
{
    // The tick runs for the whole recording, seen or not: the level trace has no holes.
    tickClock.start();
    tick();
}

void RecordingController::endTick()
{
    tickClock.stop();
}

void RecordingController::tick()
{
    if (!recorder) {
        endTick();
        return;
    }
    const float peak = recorder->takePeakLevel();
    levels.push_back(peak);
    emit levelChanged(peak);
    showTime(recorder->currentTime());
}

void RecordingController::stop()
{
    benchtrace::mark("stop pressed");
    Log::line("stop");
    if (current == State::Ready)
        return;
    Log::line("stoppo la registrazione");
    finishRecording();
}

// The panel is ready again at once; the recorder's time is read after that, and the recorder goes
// on completing its file in the background. `failureTold`: the recording ended by itself, and the
// user was told what became of its file.
void RecordingController::finishRecording(bool failureTold)
{
    setRecordImage(QStringLiteral("rec"));
    showTime(0);
    setState(State::Ready);
    if (recorder) {
        Log::line(
            QStringLiteral("secondiegistrazione : %1").arg(elapsedSecondsField(recorder->currentTime())));
        savingFiles.save(std::move(recorder), recordingPath, failureTold);
    }
    endTick();
    levels = {};
    emit levelCleared();
}

void RecordingController::fileNotSaved(const TranslatableText &failure)
{
    Log::line(QStringLiteral("recording ended : ") + failure.english());
    showMessage(tr("The recording stopped: %1").arg(failure.translated()));
}

void RecordingController::recordingFailed(Recorder *from, const TranslatableText &reason, bool saved)
{
    // A recorder already stopped tells what became of its file when it is saved.
    if (from != recorder.get())
        return;
    Log::line(QStringLiteral("recording ended : ") + reason.english());
    finishRecording(true);
    const QString shown = reason.translated();
    showMessage(saved ? tr("The recording stopped: %1 Everything recorded until then is saved.").arg(shown)
                      : tr("The recording stopped: %1").arg(shown));
}

void RecordingController::notice(const TranslatableText &text)
{
    Log::diagnostic(text.english());
    showMessage(text.translated());
}

void RecordingController::audioMissing(double seconds, double atSeconds)
{
    // Never "0.0 s": a gap was there.
    //: A gap in the recording: %1 seconds of audio (as 2.5) missing at the time %2 (00 : 01 : 23).
    const char *missing = QT_TR_NOOP("%1 s missing at %2");
    const QString length = QString::number(std::max(seconds, 0.1), 'f', 1);
    const QString at = formatElapsedTime(atSeconds);
    qCWarning(lcRegistratore).noquote()
        << QStringLiteral("audio lost: ") + QString::fromUtf8(missing).arg(length, at);
    showMessage(tr(missing).arg(QString(length).replace(QLatin1Char('.'), QLocale().decimalPoint()), at));
}

void RecordingController::inputChanged(const QString &name)
{
    if (current == State::Ready)
        return;
    //: The microphone the recording was moved to, as the sound server names it.
    const char *from = QT_TR_NOOP("Recording from “%1”.");
    Log::diagnostic(QString::fromUtf8(from).arg(name));
    showMessage(tr(from).arg(name));
}

void RecordingController::requestQuit(Quit how)
{
    if (quitAnswered)
        return;
    if (how == Quit::DisplayGone) {
        quitAnswered = true;
        emit readyToQuit({how, std::nullopt, completeFilesNow()});
        return;
    }
    if (quitAsked) {
        // Asked twice: the user would rather lose what is left than wait for it.
        quitAnswered = true;
        emit readyToQuit({how, savingFiles.secondsToSave(), quitFailures});
        return;
    }
    quitAsked = true;
    if (current != State::Ready)
        stop();
    quitIfDone();
    if (quitAnswered)
        return;
    // A healthy disk completes the file at once, and the application quits with nothing shown.
    QTimer::singleShot(SavingRecordings::graceMilliseconds, this, [this] {
        if (quitAnswered)
            return;
        quitWaiting = true;
        emit quitWaitStarted();
    });
}

void RecordingController::quitIfDone()
{
    // A recorder still being created is dropped unstarted once it comes (recorderCreated()).
    if (!quitAsked || quitAnswered || !savingFiles.isEmpty() || creating)
        return;
    quitAnswered = true;
    emit readyToQuit({Quit::WhenSaved, std::nullopt, quitFailures});
}

QList<TranslatableText> RecordingController::completeFilesNow()
{
    QList<TranslatableText> failures;
    TranslatableText why;
    if (recorder && !recorder->waitUntilSaved(&why))
        failures << why;
    savingFiles.waitForAll(&failures);
    return failures;
}
