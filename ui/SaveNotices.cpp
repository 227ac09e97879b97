#include "ui/SaveNotices.h"

#include "recording/ElapsedTime.h"
#include "recording/RecentRecordings.h"
#include "recording/RecordingController.h"
#include "ui/SavingMessage.h"

#include <QFileInfo>
#include <QTimer>

namespace {

const QString title = QStringLiteral("Registratore");

bool onDisk(const QString &path)
{
    const QFileInfo file(path);
    return !file.isSymLink() && file.isFile();
}

} // namespace

SaveNotices::SaveNotices(RecordingController &recording, RecentRecordings &recent,
                         platform::Notifications &notifications, std::function<bool()> panelShown,
                         QObject *parent)
    : QObject(parent), recording(recording), recent(recent), notifications(notifications),
      panelShown(std::move(panelShown))
{
    SavingRecordings &saving = recording.saving();
    connect(&saving, &SavingRecordings::fileSaved, this, &SaveNotices::fileSaved);
    connect(&saving, &SavingRecordings::changed, this, &SaveNotices::savingChanged);
}

void SaveNotices::show(const platform::Notifications::Notice &notice)
{
    notifications.show(notice);
}

void SaveNotices::savingChanged()
{
    const SavingRecordings &saving = recording.saving();
    if (saving.isEmpty() || !saving.announced()) {
        if (saving.isEmpty())
            savingShown = false;
        return;
    }
    // Once: the seconds left count down in the panel and the tooltip, not in a stream of notices.
    if (savingShown || panelShown())
        return;
    savingShown = true;
    show({tr("Saving the recording"), savingMessage(saving, false), {}, false});
}

void SaveNotices::fileSaved(const SavingRecordings::SavedFile &file)
{
    const QString &path = file.path;
    if (!onDisk(path))
        return;
    recent.add(path);
    // The recording ended by itself, and its message was sent first: it is sent again with the file.
    if (file.endedByItself) {
        if (lastFailureSent && lastFailure.file.isEmpty()) {
            lastFailure.file = path;
            show(lastFailure);
        }
        return;
    }
    // Its message comes next.
    if (!file.complete) {
        failedFile = path;
        QTimer::singleShot(0, this, [this] { failedFile.clear(); });
        return;
    }
    // The open panel shows the recording itself; so does a notice of "Saving…" it replaces.
    if (panelShown() && !savingShown)
        return;
    //: The notification's body: the file's name and the recording's length.
    const QString body = tr("%1 — %2").arg(QFileInfo(path).fileName(), formatElapsedTime(file.seconds));
    show({tr("Recording saved"), body, path, false});
}

void SaveNotices::tellFailure(const QString &text)
{
    lastFailure = {title, text, std::exchange(failedFile, QString()), true};
    lastFailureSent = !panelShown();
    if (lastFailureSent)
        show(lastFailure);
}
