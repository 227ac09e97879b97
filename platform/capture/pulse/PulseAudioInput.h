#pragma once

#include "platform/AudioInput.h"
#include "platform/capture/pulse/PulseDrain.h"

#include <chrono>
#include <memory>

namespace platform {

// The default source of the PulseAudio server (or PipeWire's PulseAudio server), captured as
// native-endian 16-bit mono at the asked rate, the server resampling if needed.
//
// The stream starts on the source that is the default when it opens. The user (the desktop's
// sound settings) or the server (when that device is unplugged and another one is there) may move
// it to another microphone: capture goes on and the sink is told the new one's description
// (AudioSink::inputChanged). When no microphone is left, or the stream is moved to the monitor of
// an output, the capture ends (AudioSink::inputLost).
// When the sound server itself goes away (killed, restarted), the input connects to the server
// that comes back and captures its default microphone, telling the sink how much audio the
// outage cost (AudioSink::audioMissing); when none comes back within a few seconds, the input
// is lost. Audio reaches the sink on libpulse's own thread in fragments of about a quarter of a
// second.
class PulseAudioInput final : public AudioInput {
public:
    // How much audio the server hands over at a time. Longer fragments mean fewer wake-ups for
    // the server and for us, but more audio lost if the process is killed: with a sound card
    // (a null source) a SIGKILL lost 308–498 ms at 250 ms, 549–759 ms at 400 ms and 559–939 ms
    // at 500 ms (bench/engine_capture.sh), and at most half a second may be lost. drain()
    // fetches the unfinished fragment when a recording stops or pauses. The benchmark tries
    // other lengths.
    static constexpr std::chrono::milliseconds defaultFragment{250};
    // How long the input waits for a sound server that went away to come back with a microphone.
    static constexpr std::chrono::seconds serverReturnBound{10};
    // How long a held input keeps its stream. A stream keeps the desktop's microphone indicator
    // lit (GNOME Shell and Plasma count every capture stream, corked or not), so a longer hold
    // closes it; a shorter one keeps it running, its audio dropped, since a new or uncorked
    // stream takes a moment to deliver again and would cost the first words after the resume.
    static constexpr std::chrono::milliseconds defaultRelease{10000};

    explicit PulseAudioInput(std::chrono::milliseconds fragment = defaultFragment,
                             std::chrono::milliseconds releaseAfter = defaultRelease);
    ~PulseAudioInput() override;

    bool open(int sampleRate, TranslatableText *error = nullptr) override;
    bool isOpen() const override;
    int sampleRate() const override;
    void setSink(AudioSink *sink) override;
    void setHeld(bool held) override;
    void drain() override;
    // Must not be called from the sink's callbacks.
    void close() override;
    bool isDefaultInput() const override;

    // What the last drain() found (for the benchmark).
    using DrainFigures = PulseDrain::Figures;
    DrainFigures lastDrain() const;

    // The server's name for the source being captured (empty when closed).
    std::string sourceName() const;

private:
    bool start(int sampleRate, TranslatableText *error);

    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace platform
