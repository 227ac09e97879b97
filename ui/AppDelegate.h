#pragma once

#include "platform/StatusItem.h"
#include "ui/EventMonitor.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>

// The application's delegate: the status icon, the popover that holds the recorder panel,
// and the monitor that closes the popover on a click in another application.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    using PanelFactory = std::function<QWidget *()>;
    // Event kinds of the outside-click monitor: left and right mouse down.
    static constexpr std::uint64_t outsideClickMask = 10;
    static constexpr std::chrono::milliseconds launchDelay{1000};
    // An activation of the status item this soon after an outside click closed the popover
    // is that same click: where the status bar does not say where its icon is
    // (StatusNotifierItem, Wayland), a click on the icon is first seen as a click outside.
    static constexpr std::chrono::milliseconds sameClick{500};

    AppDelegate(std::unique_ptr<platform::StatusItem> statusItem, std::unique_ptr<platform::Popover> popover,
                platform::GlobalEventMonitor &desktopEvents);
    ~AppDelegate() override;

    // Puts the icon in the status bar, the panel in the popover, starts the outside-click
    // monitor, opens the popover a second later and listens for "ridimensiona".
    void applicationDidFinishLaunching(const PanelFactory &makePanel);
    // Without a status bar: the panel in an ordinary window, shown at once.
    void launchWithoutStatusBar(const PanelFactory &makePanel);
    void applicationWillTerminate() {}
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    void RiapriAppWithSender(QObject *sender);
    // The user asked to see the recorder (another launch, the status icon's menu): the popover
    // (or the window) opens.
    void showRecorder();

    void togglePopover(QObject *sender);
    void showPopover();
    void closePopover(QObject *sender);
    void outsideClick(platform::GlobalEvent *event);
    void delayedLaunchTask();
    void ridimensiona();

    QPointer<QWidget> window; // no window in this application
    const std::unique_ptr<platform::StatusItem> statusItem;
    const std::unique_ptr<platform::Popover> popover;
    std::unique_ptr<EventMonitor> eventMonitor;

private:
    bool standalone = false;
    QElapsedTimer closedByOutsideClick;
    void toggleWithEmptyEvent();
    void showWindow();
    platform::GlobalEventMonitor &desktopEvents;
};
