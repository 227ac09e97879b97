#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace platform {

class StatusItem;

// Short messages to the user through the desktop's notifications, outside the panel. Each one
// takes the place of the previous one while that is still on screen, so that "Saving…" becomes
// "Recording saved" rather than a second bubble.
class Notifications : public QObject {
    Q_OBJECT
public:
    struct Notice {
        QString title;
        QString body; // plain text
        // The recording it is about, when there is one on disk: the notice then offers "Show in
        // Folder" and "Play", where the desktop's notifications have buttons.
        QString file;
        bool warning = false;
    };

    ~Notifications() override = default;
    virtual void show(const Notice &notice) = 0;

signals:
    // The user chose one of a notice's buttons, about `file`.
    void showInFolderChosen(const QString &file);
    void playChosen(const QString &file);
};

// The desktop's notification service (org.freedesktop.Notifications on Linux), or the status
// icon's own messages where there is none (`fallback` outlives the result).
std::unique_ptr<Notifications> makeSystemNotifications(StatusItem &fallback);

} // namespace platform
