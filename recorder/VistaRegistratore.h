#pragma once

#include "platform/AudioInput.h"
#include "platform/PreferenceStore.h"
#include "platform/SaveDialog.h"
#include "recorder/Recorder.h"
#include "recorder/RecordingSettings.h"

#include <QDateTime>
#include <QUrl>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class LevelBar;
class QLabel;
class QTimer;
class QToolButton;
class SettingsPopover;

namespace Ui {
class VistaRegistratore;
}

// The recorder panel: record / pause / resume, stop, the elapsed time, the input level and
// the settings button. It holds the whole state of the current recording.
class VistaRegistratore : public QWidget {
    Q_OBJECT
public:
    enum class ButtonType { Stop = 0, Play = 1, Pause = 2 };

    using RecorderFactory =
        std::function<std::unique_ptr<Recorder>(const QString &path, const RecordingSettings &settings,
                                                std::unique_ptr<platform::AudioInput> input, QString &error)>;
    using SettingsMenuFactory = std::function<QWidget *()>;

    // What the panel needs from the desktop.
    struct Services {
        platform::SaveDialog &saveDialog;
        platform::PreferenceStore &preferences;
        platform::AudioInputFactory makeInput;
        RecorderFactory makeRecorder;
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
        SettingsMenuFactory makeSettingsMenu = nullptr;
    };

    static constexpr int tickMilliseconds = 250;

    explicit VistaRegistratore(Services services, QWidget *parent = nullptr);
    ~VistaRegistratore() override;

    void clickRecord(QObject *sender);
    void stop(QObject *sender);
    void setting(QObject *sender);
    void timerChanged(QTimer *firing);
    void createRecorder();
    // Completes a running or paused recording before the application ends. Returns why the
    // file could not be completed, empty when it was (or nothing was recording).
    QString finishBeforeQuit();

    // The record button's image: "rec" or "pause".
    QString recordImage() const;
    QString message() const;

    std::int64_t variabileGlobale = 0;
    std::unique_ptr<SettingsPopover> popover;
    ButtonType btnType = ButtonType::Stop;
    QToolButton *recordButton = nullptr;
    QToolButton *stopButton = nullptr;
    QLabel *timeField = nullptr;
    LevelBar *vistaBarra = nullptr;
    std::unique_ptr<Recorder> recorder;
    std::unique_ptr<QTimer> timer;
    std::vector<float> powerTrace;
    std::optional<QUrl> urlFisso;

protected:
    // While the panel is hidden (the popover closed) nothing of the tick can be seen, so its
    // timer sleeps: the process is not woken four times a second for the whole recording.
    // Shown again, the timer restarts and ticks at once.
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

signals:
    // Something the user must know (a recording that could not start or ended by itself).
    void userMessage(const QString &text);

private:
    void viewDidLoad();
    void setRecordImage(const QString &name);
    void startTick();
    void endTick();
    void endRecording();
    void recordingFailed(const QString &reason);
    void showMessage(const QString &text);
    void showTime(double seconds);

    Services services;
    std::unique_ptr<Ui::VistaRegistratore> ui;
    bool concealed = false; // hidden after having been shown: the tick's timer sleeps
};
