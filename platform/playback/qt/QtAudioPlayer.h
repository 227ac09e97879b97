#pragma once

#include "platform/AudioPlayer.h"

#include <QTimer>

#include <cstdint>
#include <memory>

class QAudioSink;

namespace platform {

class SoundFileReader;

// Plays through Qt Multimedia's QAudioSink on the system's default output: the player of the
// portable build (macOS, Windows). The file is read by a SoundFileReader (libsndfile reads .caf
// everywhere, which QMediaPlayer does not) and pulled by the sink as 32-bit float samples at the
// file's own rate and channel count. The sink lives on the UI thread, as Qt Multimedia's
// objects do; the end of the file waits for what the sink still holds to play out.
class QtAudioPlayer final : public AudioPlayer {
    Q_OBJECT
public:
    explicit QtAudioPlayer(QObject *parent = nullptr);
    ~QtAudioPlayer() override;

    bool play(const QString &path, QString *error = nullptr) override;
    void stop() override;
    bool isPlaying() const override;
    QString file() const override;
    qint64 duration() const override;
    qint64 position() const override;

private:
    class SampleSource;
    void sinkStateChanged();
    void checkProgress();
    // Ends the playing file: at its end when `failure` is empty, else with failed().
    void end(const QString &failure);
    // Lets the file go: whether one was playing.
    bool release();
    // What the sink holds and has not played yet, in milliseconds.
    qint64 buffered() const;

    std::unique_ptr<SoundFileReader> reader_;
    std::unique_ptr<SampleSource> source_;
    std::unique_ptr<QAudioSink> sink_;
    QTimer tail_; // the end of the file, once what the sink holds has played out
    // Qt 6.4 tells nothing when PulseAudio kills the stream (its output went away with no other
    // to move to): a sink that takes nothing of the audio waiting for it for a while has stopped.
    QTimer watch_;
    qint64 lastProcessed_ = 0;
    int stalledTicks_ = 0;
    std::uint64_t generation_ = 0;
    QString file_;
    qint64 duration_ = 0;
};

} // namespace platform
