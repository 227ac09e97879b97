#pragma once

#include "platform/AudioPlayer.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class RecordingController;

// Listening to a saved recording, one at a time: a recording that starts stops it, and so does
// playing another. Tells how far it has got ("00 : 00 : 12 / 00 : 01 : 23") while it plays.
class Playback : public QObject {
    Q_OBJECT
public:
    static constexpr int refreshMilliseconds = 250;

    Playback(std::unique_ptr<platform::AudioPlayer> player, RecordingController &recording,
             QObject *parent = nullptr);
    ~Playback() override;

    // Plays `path` from its beginning; not while a recording runs, which would hear it.
    void play(const QString &path);
    void stop();
    // Play, or Stop Playing when `path` is what plays.
    void toggle(const QString &path);
    bool isPlaying(const QString &path) const;
    // The file playing, empty when none.
    QString file() const;
    // How far the playback has got, and the length: empty when nothing plays.
    QString progressText() const;

signals:
    // What plays changed: a file started, or ended.
    void changed();
    // How far the playback has got, a few times a second while it plays.
    void progressed();
    // Something the user must know: the file could not be played.
    void userMessage(const QString &text);

private:
    std::unique_ptr<platform::AudioPlayer> player;
    RecordingController &recording;
    QTimer progressClock;
};
