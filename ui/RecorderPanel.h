#pragma once

#include "recording/RecordingController.h"

#include <QWidget>

#include <functional>
#include <memory>

class LevelBar;
class QLabel;
class QToolButton;
class SettingsPopover;

namespace Ui {
class RecorderPanel;
}

// The recorder panel: record / pause / resume, stop, the elapsed time, the input level, a
// message line and the settings button. A view over a RecordingController, which holds the
// recording: the buttons go to it, and what it tells is shown here.
class RecorderPanel : public QWidget {
    Q_OBJECT
public:
    // Makes a new settings menu each time the settings button is pressed.
    using SettingsMenuFactory = std::function<QWidget *()>;

    // `recording` outlives the panel.
    explicit RecorderPanel(RecordingController &recording, SettingsMenuFactory makeSettingsMenu = nullptr,
                           QWidget *parent = nullptr);
    ~RecorderPanel() override;

    // Shows `text` on the message line, as a message of the recording's is.
    void tell(const QString &text) { showMessage(text); }
    // Shows `row` (the last recording) under the level bar; the panel owns it.
    void addLastRecordingRow(QWidget *row);

    // The settings button: the settings menu opens under `sender`, when it is a button.
    void showSettings(QObject *sender);
    // The record button's image: "rec" or "pause".
    QString recordImage() const;
    QString message() const;
    SettingsPopover *settingsPopover() const { return popover.get(); }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    // Escape asks to close the panel; Return and Enter press its focused button, as Space does.
    void keyPressEvent(QKeyEvent *event) override;

signals:
    // Escape was pressed in the panel: whoever holds it closes it, where closing it ends nothing.
    void closeRequested();
    // Something the user must know (a recording that could not start, ended by itself, could
    // not be completed, or lost audio).
    void userMessage(const QString &text);

private:
    void applyColours();
    void setRecordImage(const QString &name);
    void showMessage(const QString &text);
    void showSaving(const QString &text);
    void fillMessageField();
    void showTime(const QString &text);

    std::unique_ptr<SettingsPopover> popover;
    QToolButton *recordButton = nullptr;
    QToolButton *stopButton = nullptr;
    QLabel *timeField = nullptr;
    LevelBar *levelBar = nullptr;
    QString shownMessage;
    QString shownSaving;
    SettingsMenuFactory makeSettingsMenu;
    std::unique_ptr<Ui::RecorderPanel> ui;
    RecordingController &recording;
    bool concealed = false; // hidden after having been shown: the popover is closed
};
