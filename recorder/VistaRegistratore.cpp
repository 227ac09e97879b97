#include "recorder/VistaRegistratore.h"

#include "app/ModelData.h"
#include "platform/Log.h"
#include "recorder/BenchTrace.h"
#include "recorder/ElapsedTime.h"
#include "recorder/LevelBar.h"
#include "recorder/RecordingFileName.h"
#include "recorder/SettingsPopover.h"
#include "settings/QualityPreset.h"
#include "ui_VistaRegistratore.h"

#include <QTimer>
#include <QToolButton>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {
const QColor panelColour(39, 39, 39);
const QColor levelBarColour(71, 121, 202);

QIcon image(const QString &name)
{
    return QIcon(QStringLiteral(":/images/%1.svg").arg(name));
}
} // namespace

VistaRegistratore::VistaRegistratore(Services services, QWidget *parent)
    : QWidget(parent), popover(std::make_unique<SettingsPopover>()), services(std::move(services)),
      ui(std::make_unique<Ui::VistaRegistratore>())
{
    ui->setupUi(this);
    recordButton = ui->recordButton;
    stopButton = ui->stopButton;
    timeField = ui->timeField;
    vistaBarra = ui->vistaBarra;
    setRecordImage(QStringLiteral("rec"));
    stopButton->setIcon(image(QStringLiteral("stop")));
    ui->settingsButton->setIcon(image(QStringLiteral("settings")));
    showTime(0);
    viewDidLoad();

    connect(recordButton, &QToolButton::clicked, this, [this] { clickRecord(recordButton); });
    connect(stopButton, &QToolButton::clicked, this, [this] { stop(stopButton); });
    connect(ui->settingsButton, &QToolButton::clicked, this, [this] { setting(ui->settingsButton); });
}

VistaRegistratore::~VistaRegistratore() = default;

void VistaRegistratore::viewDidLoad()
{
    setAutoFillBackground(true);
    QPalette panel = palette();
    panel.setColor(QPalette::Window, panelColour);
    panel.setColor(QPalette::WindowText, Qt::white);
    panel.setColor(QPalette::ButtonText, Qt::white);
    setPalette(panel);

    vistaBarra->setAutoFillBackground(true);
    QPalette bar = vistaBarra->palette();
    bar.setColor(QPalette::Window, levelBarColour);
    vistaBarra->setPalette(bar);
}

QString VistaRegistratore::recordImage() const
{
    return recordButton->property("imageName").toString();
}

QString VistaRegistratore::message() const
{
    return ui->messageField->isHidden() ? QString() : ui->messageField->text();
}

void VistaRegistratore::setRecordImage(const QString &name)
{
    recordButton->setIcon(image(name));
    recordButton->setProperty("imageName", name);
    const QString role = name == QLatin1String("pause") ? QStringLiteral("Pause") : QStringLiteral("Record");
    recordButton->setAccessibleName(role);
    recordButton->setToolTip(role);
}

void VistaRegistratore::showTime(double seconds)
{
    const QString text = formatElapsedTime(seconds);
    if (text == timeField->text())
        return;
    timeField->setText(text);
    // Qt's accessibility gives a label's text to screen readers only through its description
    // once the label has an accessible name.
    timeField->setAccessibleDescription(text);
}

void VistaRegistratore::showMessage(const QString &text)
{
    ui->messageField->setText(text);
    ui->messageField->setAccessibleDescription(text);
    ui->messageField->setVisible(!text.isEmpty());
    if (!text.isEmpty())
        emit userMessage(text);
}

void VistaRegistratore::clickRecord(QObject *)
{
    switch (btnType) {
    case ButtonType::Stop:
        Log::line("parte la registrazione");
        createRecorder();
        Log::line("+++++++++++++++++++++++++++++++++++++++");
        if (!recorder)
            return;
        Log::line("è partita la registrazione");
        btnType = ButtonType::Play;
        return;
    case ButtonType::Play:
        btnType = ButtonType::Pause;
        Log::line("pausa registrazione");
        setRecordImage(QStringLiteral("rec"));
        if (recorder)
            recorder->pause();
        endTick();
        return;
    case ButtonType::Pause:
        btnType = ButtonType::Play;
        Log::line("riavvio registrazione");
        setRecordImage(QStringLiteral("pause"));
        if (recorder)
            recorder->record();
        startTick();
        return;
    }
}

void VistaRegistratore::createRecorder()
{
    Log::line("createRecorder");
    ModelData::shared().chiudo = QStringLiteral("No");
    showMessage({});

    // The sound server takes up to a second to deliver the first samples of a new input:
    // open it now, while the user is in the dialog, so the first words after confirming
    // are captured. What arrives before the recording starts is dropped.
    std::unique_ptr<platform::AudioInput> input = services.makeInput();
    std::string inputError;
    if (input && !input->open(sampleRateFor(QualityPresets::read(services.preferences)), inputError))
        std::fprintf(stderr, "registratore: %s\n", inputError.c_str());

    const platform::SaveDialog::Result answer =
        services.saveDialog.runModal(proposedRecordingName(services.now()), {QStringLiteral("caf")});
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
        connect(recorder.get(), &Recorder::failed, this, &VistaRegistratore::recordingFailed,
                Qt::QueuedConnection);
        recorder->setMeteringEnabled(true);
        recorder->prepareToRecord();
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
    if (recorder && benchtrace::blockUiAfterSeconds() > 0) {
        QTimer::singleShot(static_cast<int>(benchtrace::blockUiAfterSeconds() * 1000), this, [] {
            benchtrace::mark("ui blocked");
            std::this_thread::sleep_for(std::chrono::seconds(3));
            benchtrace::mark("ui unblocked");
        });
    }
    startTick();
    ModelData::shared().chiudo = QStringLiteral("Si");
}

void VistaRegistratore::startTick()
{
    endTick();
    timer = std::make_unique<QTimer>();
    timer->setInterval(tickMilliseconds);
    QTimer *created = timer.get();
    connect(created, &QTimer::timeout, this, [this, created] { timerChanged(created); });
    // Hidden, the panel only keeps the timer, ready for showEvent().
    if (!concealed)
        timer->start();
    timerChanged(created);
}

void VistaRegistratore::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    concealed = false;
    if (timer && !timer->isActive()) {
        timer->start();
        timerChanged(timer.get());
    }
}

void VistaRegistratore::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    concealed = true;
    if (timer)
        timer->stop();
}

void VistaRegistratore::endTick()
{
    if (!timer)
        return;
    timer->stop();
    // The timer may be the one whose tick is running: let it go once that has returned.
    timer.release()->deleteLater();
}

void VistaRegistratore::timerChanged(QTimer *firing)
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
    powerTrace.push_back(peak);
    vistaBarra->setLevel(peak);
    showTime(recorder->currentTime());
}

void VistaRegistratore::stop(QObject *)
{
    benchtrace::mark("stop pressed");
    Log::line("stop");
    if (btnType == ButtonType::Stop)
        return;
    Log::line("stoppo la registrazione");
    endRecording();
}

void VistaRegistratore::endRecording()
{
    setRecordImage(QStringLiteral("rec"));
    showTime(0);
    btnType = ButtonType::Stop;
    if (recorder) {
        Log::line(
            QStringLiteral("secondiegistrazione : %1").arg(elapsedSecondsField(recorder->currentTime())));
        recorder->stop();
        recorder.reset();
    }
    endTick();
    powerTrace = {};
    vistaBarra->clear();
}

void VistaRegistratore::recordingFailed(const QString &reason)
{
    if (btnType == ButtonType::Stop)
        return;
    Log::line(QStringLiteral("recording ended : ") + reason);
    endRecording();
    showMessage(
        QStringLiteral("The recording stopped: %1 Everything recorded until then is saved.").arg(reason));
}

QString VistaRegistratore::finishBeforeQuit()
{
    if (btnType == ButtonType::Stop)
        return {};
    // The recorder tells a failed completion through `failed`, from within stop().
    QString failure;
    if (recorder) {
        connect(
            recorder.get(), &Recorder::failed, this, [&failure](const QString &reason) { failure = reason; },
            Qt::DirectConnection);
    }
    stop(nullptr);
    return failure;
}

void VistaRegistratore::setting(QObject *sender)
{
    Log::line("setting");
    auto *button = qobject_cast<QAbstractButton *>(sender);
    if (!button)
        return;
    const QRect bounds = button->rect();
    Log::line(QStringLiteral("bounds : {{%1, %2}, {%3, %4}}")
                  .arg(bounds.x())
                  .arg(bounds.y())
                  .arg(bounds.width())
                  .arg(bounds.height()));
    popover->showMenu(services.makeSettingsMenu ? services.makeSettingsMenu() : nullptr, button);
}
