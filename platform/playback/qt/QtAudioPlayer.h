#pragma once

#include "platform/AudioPlayer.h"

#include <chrono>
#include <cstdint>

class QThread;

namespace platform {

class QtPlaybackStream;

// Plays through Qt Multimedia's QAudioSink on the system's default output: the player of the
// portable build (macOS, Windows). The file is read by a SoundFileReader (libsndfile reads .caf
// everywhere, which QMediaPlayer does not) and played by a QtPlaybackStream on a thread of the
// player's own, which the UI thread never waits for: Qt's PulseAudio backend, for one, waits for
// a server that does not answer. Destroyed, the player waits for that thread `patience` at most,
// then leaves it to the end of the process.
class QtAudioPlayer final : public AudioPlayer {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds patience{100};

    explicit QtAudioPlayer(QObject *parent = nullptr);
    ~QtAudioPlayer() override;

    bool play(const QString &path, TranslatableText *error = nullptr) override;
    void stop() override;
    bool isPlaying() const override;
    QString file() const override;
    qint64 duration() const override;
    qint64 position() const override;

private:
    // Lets the playing stream go, deleted on its thread: whether one was playing.
    bool release();
    void ended(std::uint64_t generation, const TranslatableText &failure);

    QThread *thread_;
    QtPlaybackStream *stream_ = nullptr; // on thread_
    std::uint64_t generation_ = 0;
    QString file_;
    qint64 duration_ = 0;
};

} // namespace platform
