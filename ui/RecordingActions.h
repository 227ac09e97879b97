#pragma once

#include <QObject>
#include <QString>

class Playback;
class RecentRecordings;

namespace platform {
class FileManager;
}

// What the user can do with a saved recording, from the icon's menu, the panel or a
// notification: play it (or stop playing it), show it in its folder, move it to the trash.
class RecordingActions : public QObject {
    Q_OBJECT
public:
    RecordingActions(Playback &playback, platform::FileManager &files, RecentRecordings &recent,
                     QObject *parent = nullptr);

    Playback &playback() { return player; }
    RecentRecordings &recent() { return recordings; }

    void togglePlaying(const QString &path);
    void play(const QString &path);
    void showInFolder(const QString &path);
    void moveToTrash(const QString &path);

signals:
    // What became of a request, for the user: "Moved “x.caf” to the Trash.", or why not.
    void userMessage(const QString &text);

private:
    Playback &player;
    platform::FileManager &files;
    RecentRecordings &recordings;
};
