#pragma once

#include "platform/StatusItem.h"
#include "recording/RecordingController.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QAction;
class QTimer;

// What the status icon shows for a state of the recorder: its image (a resource under
// :/images), whether the image is drawn as a mask in the status bar's colour, the tooltip, and
// the icon theme's symbolic icon of the state (installed to hicolor/symbolic/apps).
struct StatusLook {
    QString image;
    bool mask = true;
    QString toolTip;
    QString themeIcon;
    bool operator==(const StatusLook &) const = default;
};

// The look for a recorder in `state` at `seconds`, while `saving` says what is still being saved
// (empty when nothing is).
StatusLook statusLookFor(RecordingController::State state, double seconds, const QString &saving = {});
// The look for the controller as it is now: what the icon, its tooltip and the status item's
// menu show.
StatusLook statusLookFor(const RecordingController &controller);
// Puts the look's image and themed icon on the status item.
void showImage(platform::StatusItem &item, const StatusLook &look);

// Keeps the status icon and its tooltip telling whether the microphone is live. While a
// recording runs, a one-second clock moves the tooltip's time on even when the panel (and
// with it the controller's tick) sleeps, unless the status bar asks for the tooltip when it
// shows it; there is no clock otherwise.
class StatusIndicator : public QObject {
    Q_OBJECT
public:
    StatusIndicator(RecordingController &controller, platform::StatusItem &item, QObject *parent = nullptr);
    ~StatusIndicator() override;
    // The clock while a recording runs.
    // The clock that keeps the tooltip's time, while it runs.
    const QTimer *clock() const { return ticking.isActive() ? &ticking : nullptr; }
    // Shows the controller's state and time now; what the clock does each second.
    void refresh();
    // Keeps `entry`'s text (a menu's) the same as the tooltip.
    void showStateIn(QAction *entry);

private:
    RecordingController &controller;
    platform::StatusItem &item;
    StatusLook shown;
    QPointer<QAction> stateEntry;
    QTimer ticking;
};
