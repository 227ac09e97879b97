#include "ui/RecordingActions.h"

#include "platform/FileManager.h"
#include "platform/Log.h"
#include "recording/Playback.h"
#include "recording/RecentRecordings.h"

#include <QFile>
#include <QFileInfo>

RecordingActions::RecordingActions(Playback &playback, platform::FileManager &files, RecentRecordings &recent,
                                   QObject *parent)
    : QObject(parent), player(playback), files(files), recordings(recent)
{
    connect(&player, &Playback::userMessage, this, &RecordingActions::userMessage);
}

void RecordingActions::togglePlaying(const QString &path)
{
    player.toggle(path);
}

void RecordingActions::play(const QString &path)
{
    player.play(path);
}

void RecordingActions::showInFolder(const QString &path)
{
    files.showInFolder(path);
}

void RecordingActions::moveToTrash(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (player.isPlaying(path))
        player.stop();
    if (!QFile::moveToTrash(path)) {
        Log::diagnostic(QStringLiteral("cannot move %1 to the trash").arg(path));
        emit userMessage(tr("Could not move “%1” to the Trash.").arg(name));
        recordings.files(); // a file that is gone drops out
        return;
    }
    recordings.remove(path);
    emit userMessage(tr("Moved “%1” to the Trash.").arg(name));
}
