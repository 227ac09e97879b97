#pragma once

#include "platform/AudioPlayer.h"

#include <chrono>
#include <memory>

namespace platform {

// Plays through the PulseAudio server (or PipeWire's PulseAudio server) on its default output:
// a playback stream of the file's own rate and channel count, which the server converts, fed
// from a SoundFileReader. Each play() connects afresh on a libpulse thread of its own, without
// waiting for the server: what goes wrong there comes as failed(). Nothing here waits on the
// server, so stop() and the destructor return at once even when it hangs; a server that stops
// answering while a file plays is given up on after `serverPatience` (failed()).
class PulseAudioPlayer final : public AudioPlayer {
    Q_OBJECT
public:
    // How much audio the server is given ahead of what is heard: the delay of the first sound,
    // and what a busy machine may hold up the feeding thread before the sound breaks up.
    static constexpr std::chrono::milliseconds defaultLatency{60};
    // How long a playing stream may go without news from the server before it is given up on.
    static constexpr std::chrono::milliseconds defaultPatience{3000};

    explicit PulseAudioPlayer(std::chrono::milliseconds latency = defaultLatency,
                              std::chrono::milliseconds serverPatience = defaultPatience,
                              QObject *parent = nullptr);
    ~PulseAudioPlayer() override;

    bool play(const QString &path, TranslatableText *error = nullptr) override;
    void stop() override;
    bool isPlaying() const override;
    QString file() const override;
    qint64 duration() const override;
    qint64 position() const override;

signals:
    // A session's news, from the loop's thread to the UI thread.
    void sessionEnded(quint64 generation, const TranslatableText &failure, QPrivateSignal);

private:
    class Session;
    // A session's news, on the UI thread; what comes from a session no longer playing is dropped.
    // Lets the playing session go: whether one was playing.
    bool release();
    void ended(quint64 generation, const TranslatableText &failure);

    std::chrono::milliseconds latency_;
    std::chrono::milliseconds serverPatience_;
    std::unique_ptr<Session> session_;
    quint64 generation_ = 0;
    QString file_;
    qint64 duration_ = 0;
};

} // namespace platform
