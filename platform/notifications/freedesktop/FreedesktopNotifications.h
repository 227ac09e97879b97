#pragma once

#include "platform/Notifications.h"

#include <QMap>
#include <QStringList>

#include <optional>

namespace platform {

// org.freedesktop.Notifications on the session bus: GNOME Shell, Plasma, xfce4-notifyd, dunst,
// mako. Calls are asynchronous: a slow or absent service never holds up the UI thread. Where no
// service answers, the status icon's own message is shown instead.
class FreedesktopNotifications : public Notifications {
    Q_OBJECT
public:
    explicit FreedesktopNotifications(StatusItem &fallback);
    void show(const Notice &notice) override;

private slots:
    void actionInvoked(uint id, const QString &action);
    void notificationClosed(uint id, uint reason);

private:
    void askCapabilities();
    void send(const Notice &notice);

    StatusItem &fallback;
    std::optional<QStringList> capabilities;
    bool askingCapabilities = false;
    std::optional<Notice> waiting; // shown once the capabilities are known
    uint shownId = 0;              // the notice on screen, which the next one replaces
    QMap<uint, QString> files;     // the recordings of the last notices that had buttons
};

} // namespace platform
