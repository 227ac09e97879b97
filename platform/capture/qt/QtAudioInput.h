#pragma once

#include "platform/AudioInput.h"

#include <chrono>

namespace platform {

// The default microphone through Qt Multimedia's QAudioSource, captured as native-endian 16-bit
// mono at the asked rate: the input of the portable build (macOS, Windows). Every QAudioSource
// lives on one capture thread of the process, which hands the audio to the sink as it reads it;
// the callers wait for that thread `patience` at most, so a sound system that does not answer
// holds up nobody (an opening that does not finish in time fails, and is undone once the thread
// is free again).
//
// Held, it drops what it reads; held longer than `releaseAfter`, it stops the QAudioSource, so
// that the desktop no longer shows the microphone in use, and starts a new one on the same
// microphone (else the default one, which the sink is told of) when let run. Where QAudioSource
// does not allow more, it does less than the Linux desktop's input:
// - drain() hands over what Qt has received; what the sound system still holds (with
//   PulseAudio, up to one period of Qt's, 50 ms) comes with the next read instead. Let run after
//   a short hold, up to that much audio of the hold may come first.
// - A microphone that cannot give 16-bit mono at the asked rate is refused, not converted.
// - Qt tells of no move to another microphone and of no audio missing: the sink hears of
//   neither (AudioSink::inputChanged only at a reopening, AudioSink::audioMissing never). A
//   microphone that leaves the system's list, or a QAudioSource that stops with an error (a
//   sound server gone), ends the capture (AudioSink::inputLost).
// - Qt 6.8's PulseAudio backend updates its list of microphones when one comes or changes, or
//   the default moves to another microphone, but not when one goes: the last microphone
//   unplugged stays listed, and PulseAudio moves the capture to what is left (the monitor of an
//   output), unnoticed.
class QtAudioInput final : public AudioInput {
public:
    // As the Linux input: a longer hold closes the microphone (its indicator goes out).
    static constexpr std::chrono::milliseconds defaultRelease{10000};
    // How long a caller waits for the capture thread.
    static constexpr std::chrono::milliseconds patience{3000};

    explicit QtAudioInput(std::chrono::milliseconds releaseAfter = defaultRelease);
    ~QtAudioInput() override;
    QtAudioInput(const QtAudioInput &) = delete;
    QtAudioInput &operator=(const QtAudioInput &) = delete;

    bool open(int sampleRate, TranslatableText *error = nullptr) override;
    bool isOpen() const override;
    int sampleRate() const override;
    void setSink(AudioSink *sink) override;
    void setHeld(bool held) override;
    void drain() override;
    // Must not be called from the sink's callbacks.
    void close() override;
    bool isDefaultInput() const override;

private:
    class Capture;
    // Runs `work` on the capture thread and waits for it `patience` at most: false when it did
    // not finish in time (it still runs later).
    bool runOnCaptureThread(std::function<void()> work) const;
    bool onCaptureThread() const;

    const std::chrono::milliseconds releaseAfter;
    Capture *capture = nullptr; // on the capture thread, from open() to close()
    int rate = 0;
};

} // namespace platform
