#pragma once

#include <QMenu>
#include <QObject>

#include <functional>

class RecentRecordingsMenu;
class RecordingController;
class SettingsActions;

// The status icon's menu, where the status bar shows one (a click on GNOME with the
// AppIndicator extension, a right click on KDE and Xfce): the recorder's state and time (kept by
// StatusIndicator, as in the tooltip), Record / Pause / Resume and Stop, an entry that opens the
// panel, the recent recordings (where given), and the settings menu's rows, with Start at Login
// (where given) above Quit. Each entry does what its button
// or row does: the record and stop entries run the commands of the keyboard shortcuts, and the rows are the
// settings menu's own actions.
class StatusMenu : public QObject {
    Q_OBJECT
public:
    // What the entries that are not settings rows run.
    struct Actions {
        std::function<void()> record; // the shortcut's "record"
        std::function<void()> stop;   // the shortcut's "stop"
        std::function<void()> openPanel;
        RecentRecordingsMenu *recentRecordings = nullptr; // not owned
        QAction *startAtLogin = nullptr; // not owned; none where the desktop has no such thing
    };

    StatusMenu(RecordingController &controller, SettingsActions &settings, Actions actions,
               QObject *parent = nullptr);

    QMenu *menu() { return &entries; }
    QAction *stateEntry() const { return state; }

private:
    void refresh();

    RecordingController &controller;
    SettingsActions &settings;
    QMenu entries;
    QAction *state = nullptr;
    QAction *record = nullptr;
    QAction *stop = nullptr;
};
