#pragma once

#include <QObject>
#include <QString>

#include "platform/TranslatableText.h"

#include <memory>

namespace platform {

// Plays one recording at a time on the desktop's default output.
class AudioPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~AudioPlayer() override = default;

    // Starts playing `path` from its beginning, stopping whatever played before. Reads the
    // file's header at once: false, with a readable reason in `*error` (when given), when the
    // file cannot be read as audio. Reaching the sound server happens afterwards: a failure
    // there comes as failed().
    virtual bool play(const QString &path, TranslatableText *error = nullptr) = 0;
    // Stops playing. Idempotent.
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    // The file playing (or starting to), empty when none.
    virtual QString file() const = 0;
    // Length of the file playing, and how much of it has been heard, in milliseconds.
    virtual qint64 duration() const = 0;
    virtual qint64 position() const = 0;

signals:
    // Playing began, or ended (the end of the file, stop(), a failure). On the UI thread.
    void playingChanged(bool playing);
    // Playback broke off or could not start: no sound server, output gone, file unreadable
    // half-way. A readable reason, on the UI thread; playingChanged(false) follows.
    void failed(const TranslatableText &reason);
};

// The desktop's default output: PulseAudio or PipeWire on Linux, QAudioSink in the portable
// build (playback/SystemAudioPlayer.cpp picks it).
std::unique_ptr<AudioPlayer> makeSystemAudioPlayer();

} // namespace platform
