#pragma once

#include "platform/TranslatableText.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>

class QAudioSink;

namespace platform {

class SoundFileReader;

// One file on its way to the system's default output through Qt Multimedia's QAudioSink, pulled
// from a SoundFileReader as 32-bit float samples at the file's own rate and channel count. It
// lives on the player's thread, and is made, started and deleted there: a sound system that does
// not answer holds up that thread only.
class QtPlaybackStream : public QObject {
    Q_OBJECT
public:
    explicit QtPlaybackStream(std::unique_ptr<SoundFileReader> reader);
    ~QtPlaybackStream() override;

    // Opens the default output and starts playing. On the stream's thread.
    void start();
    // How much of the file has been heard, in milliseconds. Any thread.
    qint64 position() const;

signals:
    // The end of the file (an empty text), or why playing broke off. Once.
    void ended(const TranslatableText &failure);

private:
    class SampleSource;
    void sinkStateChanged();
    void tick();
    void end(const TranslatableText &failure);
    // Stops the sink, dropping what it holds.
    void silence();
    // What the sink holds and has not played yet, in milliseconds.
    qint64 buffered() const;

    std::unique_ptr<SoundFileReader> reader_;
    std::unique_ptr<SampleSource> source_;
    std::unique_ptr<QAudioSink> sink_;
    QTimer tail_; // the end of the file, once what the sink holds has played out
    // Updates position() and notices a sink that stopped taking audio: Qt 6.4 tells nothing when
    // PulseAudio kills the stream (its output went away with no other to move to).
    QTimer ticks_;
    qint64 lastProcessed_ = 0;
    int stalledTicks_ = 0;
    bool over_ = false;
    std::atomic<qint64> heard_{0}; // at the last tick
    QElapsedTimer sinceStart_;
    std::atomic<qint64> tickedAt_{0};    // by sinceStart_
    std::atomic<bool> advancing_{false}; // the sink took audio at the last tick
};

} // namespace platform
