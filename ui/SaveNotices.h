#pragma once

#include "platform/Notifications.h"

#include <QObject>

#include <functional>

#include "recording/SavingRecordings.h"

class RecordingController;
class RecentRecordings;

// Tells the user, through the desktop's notifications, what became of a recording once the
// panel is closed: "Saving…" while a slow disk catches up, then the file's name and length when
// it is complete, or why it is not. Every saved file that is on disk goes to the recent list. The
// open panel shows all this itself: nothing is sent then.
class SaveNotices : public QObject {
    Q_OBJECT
public:
    SaveNotices(RecordingController &recording, RecentRecordings &recent,
                platform::Notifications &notifications, std::function<bool()> panelShown,
                QObject *parent = nullptr);

    // Something went wrong that the user must know (the panel's message).
    void tellFailure(const QString &text);

private:
    void fileSaved(const SavingRecordings::SavedFile &file);
    void savingChanged();
    void show(const platform::Notifications::Notice &notice);

    RecordingController &recording;
    RecentRecordings &recent;
    platform::Notifications &notifications;
    std::function<bool()> panelShown;
    bool savingShown = false;
    // A file that could not be completed, still on disk, whose message is about to come.
    QString failedFile;
    // The last failure told, which the file of a recording that ended by itself joins.
    platform::Notifications::Notice lastFailure;
    bool lastFailureSent = false;
};
