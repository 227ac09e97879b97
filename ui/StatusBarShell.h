#pragma once

#include "platform/OutsideClickMonitor.h"
#include "platform/StatusItem.h"

#include <QElapsedTimer>
#include <QObject>
#include <QWidget>

#include <chrono>
#include <memory>

// The recorder's place on the desktop: the status icon, the popover that holds the recorder
// panel, and the monitor that closes the popover on a click in another application. Without a
// status bar, the panel is an ordinary window instead.
class RecordingController;

class StatusBarShell : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds launchDelay{1000};
    // An activation of the status item this soon after an outside click closed the popover
    // is that same click: where the status bar does not say where its icon is
    // (StatusNotifierItem, Wayland), a click on the icon is first seen as a click outside.
    static constexpr std::chrono::milliseconds sameClick{500};

    // `recording` (whose save dialog holds the popover open) outlives the shell.
    StatusBarShell(std::unique_ptr<platform::StatusItem> statusItem,
                   std::unique_ptr<platform::Popover> popover,
                   std::unique_ptr<platform::OutsideClickMonitor> outsideClicks,
                   const RecordingController &recording);
    ~StatusBarShell() override;

    // Whether the popover opens a second after the launch.
    enum class Opening { Open, Closed };
    // Puts the icon in the status bar and `panel` in the popover (which owns it), starts the
    // outside-click monitor and opens the popover a second later (unless it stays Closed).
    void launchInStatusBar(QWidget *panel, Opening opening = Opening::Open);
    // Without a status bar: `panel` in an ordinary window, shown a second later.
    void launchInWindow(QWidget *panel);
    // The user asked to see the recorder (another launch, the status icon's menu): the popover
    // (or the window) opens.
    void showRecorder();

    // The user asked to close the recorder (Escape in the panel): an open popover closes, as a
    // click outside it does. The ordinary window stays: closing it quits the application, which
    // would end the recording.
    void closeRecorder();

    void togglePopover(QObject *sender);
    void showPopover();
    void closePopover(QObject *sender);
    void outsideClick();
    // What the launch does a second later: the popover opens (or closes, if it was opened since).
    void openAfterLaunch();

    platform::OutsideClickMonitor *outsideClickMonitor() const { return outsideClicks.get(); }

public slots:
    // Opens a closed popover and closes an open one, for code elsewhere in the process; from
    // another thread, invoke it queued. Ignored in a window.
    void togglePanel();

private:
    void toggle();

    const std::unique_ptr<platform::StatusItem> statusItem;
    const std::unique_ptr<platform::Popover> popover;
    // Runs while the popover shows, once the icon is in the status bar.
    const std::unique_ptr<platform::OutsideClickMonitor> outsideClicks;
    bool inStatusBar = false;
    bool standalone = false;
    QElapsedTimer closedByOutsideClick;
    const RecordingController &recording;
};
