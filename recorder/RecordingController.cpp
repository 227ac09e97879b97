#include "recorder/RecordingController.h"

#include "app/ModelData.h"
#include "platform/Log.h"
#include "recorder/BenchTrace.h"
#include "recorder/ElapsedTime.h"
#include "recorder/QualityPreset.h"
#include "recorder/RecordingFileName.h"
#include "recorder/RecordingFolder.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cstdio>

RecordingController::RecordingController(Services services, QObject *parent)
    : QObject(parent), services(std::move(services)), shownTime(formatElapsedTime(0))
{
}

RecordingController::~RecordingController() = default;

void RecordingController::setState(ButtonType state)
{
    btnType = state;
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
    switch (btnType) {
    case ButtonType::Stop:
        Log::line("parte la registrazione");
        createRecorder();
        Log::line("+++++++++++++++++++++++++++++++++++++++");
        if (!recorder)
            return;
        Log::line("è partita la registrazione");
        setState(ButtonType::Play);
        return;
    case ButtonType::Play:
        setState(ButtonType::Pause);
        Log::line("pausa registrazione");
        setRecordImage(QStringLiteral("rec"));
        if (recorder) {
            recorder->pause();
            // The last tick may be up to a quarter of a second old: show what the file holds.
            showTime(recorder->currentTime());
        }
        endTick();
        return;
    case ButtonType::Pause:
        setState(ButtonType::Play);
        Log::line("riavvio registrazione");
        setRecordImage(QStringLiteral("pause"));
        if (recorder)
            recorder->record();
        startTick();
        return;
    }
}

void RecordingController::createRecorder()
{
    Log::line("createRecorder");
    ModelData::shared().chiudo = QStringLiteral("No");
    showMessage({});
    unsavedReason.clear();

    // The sound server takes up to a second to deliver the first samples of a new input:
    // open it now, while the user is in the dialog, so the first words after confirming
    // are captured. What arrives before the recording starts is dropped.
    std::unique_ptr<platform::AudioInput> input = services.makeInput();
    std::string inputError;
    if (input && !input->open(sampleRateFor(QualityPresets::read(services.preferences)), inputError))
        std::fprintf(stderr, "registratore: %s\n", inputError.c_str());

    const platform::SaveDialog::Result answer =
        services.saveDialog.runModal(proposedRecordingName(services.now()), {QStringLiteral("caf")},
                                     RecordingFolder::start(services.preferences));
    if (answer.response != platform::SaveDialog::OK) {
        Log::line(answer.response == platform::SaveDialog::Cancel ? "canceled" : "test");
        if (input)
            input->close();
        ModelData::shared().chiudo = QStringLiteral("Si");
        return;
    }

    benchtrace::mark("dialog confirmed");
    const RecordingSettings settings = recordingSettings(QualityPresets::read(services.preferences));
    QString error;
    std::unique_ptr<Recorder> made = services.makeRecorder(answer.path, settings, std::move(input), error);
    if (made) {
        recorder = std::move(made);
        connect(recorder.get(), &Recorder::failed, this, &RecordingController::recordingFailed,
                Qt::QueuedConnection);
        connect(recorder.get(), &Recorder::audioMissing, this, &RecordingController::audioMissing,
                Qt::QueuedConnection);
        connect(recorder.get(), &Recorder::inputChanged, this, &RecordingController::inputChanged,
                Qt::QueuedConnection);
        recorder->setMeteringEnabled(true);
        recorder->prepareToRecord();
        RecordingFolder::remember(services.preferences, answer.path);
    } else {
        Log::line("Creation of AVAudioRecorder failed");
        Log::line(error);
        showMessage(QStringLiteral("Could not start recording: ") + error);
    }

    // A recording that did not start keeps the record image: the user must not take a
    // failure for a running recording.
    if (recorder) {
        setRecordImage(QStringLiteral("pause"));
        if (!recorder->record()) {
            recorder.reset();
            setRecordImage(QStringLiteral("rec"));
            showMessage(QStringLiteral("Could not start recording: the microphone did not start."));
        }
    }
    if (recorder)
        benchtrace::blockUiLater(this);
    startTick();
    ModelData::shared().chiudo = QStringLiteral("Si");
}

void RecordingController::startTick()
{
    endTick();
    timer = std::make_unique<QTimer>();
    timer->setInterval(tickMilliseconds);
    QTimer *created = timer.get();
    connect(created, &QTimer::timeout, this, [this, created] { timerChanged(created); });
    // Unseen, the tick only keeps its timer, ready for setViewVisible(true).
    if (!concealed)
        timer->start();
    timerChanged(created);
}

void RecordingController::endTick()
{
    if (!timer)
        return;
    timer->stop();
    // The timer may be the one whose tick is running: let it go once that has returned.
    timer.release()->deleteLater();
}

void RecordingController::setViewVisible(bool visible)
{
    concealed = !visible;
    if (!timer)
        return;
    if (!visible) {
        timer->stop();
    } else if (!timer->isActive()) {
        timer->start();
        timerChanged(timer.get());
    }
}

void RecordingController::timerChanged(QTimer *firing)
{
    if (!recorder) {
        if (firing)
            firing->stop();
        if (timer.get() == firing)
            endTick();
        return;
    }
    recorder->updateMeters();
    const float peak = recorder->peakPowerForChannel(0);
    levels.push_back(peak);
    emit levelChanged(peak);
    showTime(recorder->currentTime());
}

QString RecordingController::stop()
{
    benchtrace::mark("stop pressed");
    Log::line("stop");
    if (btnType == ButtonType::Stop)
        return {};
    Log::line("stoppo la registrazione");
    const QString failure = finishRecording();
    if (!failure.isEmpty()) {
        Log::line(QStringLiteral("recording ended : ") + failure);
        showMessage(QStringLiteral("The recording stopped: ") + failure);
    }
    return failure;
}

// Completes the file first, so that a failure to do so is known before the panel says the
// recording is over; then back to ready. Returns why the file could not be completed.
QString RecordingController::finishRecording()
{
    QString failure;
    if (recorder) {
        Log::line(
            QStringLiteral("secondiegistrazione : %1").arg(elapsedSecondsField(recorder->currentTime())));
        failure = recorder->stop();
        recorder.reset();
    }
    setRecordImage(QStringLiteral("rec"));
    showTime(0);
    setState(ButtonType::Stop);
    endTick();
    levels = {};
    emit levelCleared();
    return failure;
}

void RecordingController::recordingFailed(const QString &reason, bool saved)
{
    if (btnType == ButtonType::Stop)
        return;
    Log::line(QStringLiteral("recording ended : ") + reason);
    const QString completion = finishRecording();
    QString text = QStringLiteral("The recording stopped: ") + reason;
    if (!completion.isEmpty() && completion != reason)
        text += QLatin1Char(' ') + completion;
    if (saved && completion.isEmpty())
        text += QStringLiteral(" Everything recorded until then is saved.");
    else
        unsavedReason = completion.isEmpty() ? reason : completion;
    showMessage(text);
}

void RecordingController::audioMissing(double seconds, double atSeconds)
{
    // Never "0.0 s": a gap was there.
    const QString text =
        QStringLiteral("%1 s missing at %2")
            .arg(QString::number(std::max(seconds, 0.1), 'f', 1), formatElapsedTime(atSeconds));
    std::fprintf(stderr, "registratore: audio lost: %s\n", qPrintable(text));
    showMessage(text);
}

void RecordingController::inputChanged(const QString &name)
{
    if (btnType == ButtonType::Stop)
        return;
    const QString text = QStringLiteral("Recording from \u201c%1\u201d.").arg(name);
    std::fprintf(stderr, "registratore: %s\n", qPrintable(text));
    showMessage(text);
}

QString RecordingController::finishBeforeQuit()
{
    if (btnType == ButtonType::Stop)
        return {};
    // The event loop has ended: a failure the recorder announced just before still waits in
    // the queue, and it decides what the file holds.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    if (btnType == ButtonType::Stop)
        return unsavedReason;
    return stop();
}
