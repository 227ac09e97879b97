#pragma once

#include "platform/AudioInput.h"

#include <memory>

namespace platform {

// The default source of the PulseAudio server (or PipeWire's PulseAudio server), captured as
// native-endian 16-bit mono at the asked rate, the server resampling if needed.
//
// The stream is tied to the source that was the default when it opened: unplugging that device
// ends the capture (AudioSink::inputLost) rather than silently moving it to another microphone.
// Audio reaches the sink on libpulse's own thread in fragments of about a quarter of a second.
class PulseAudioInput final : public AudioInput {
public:
    PulseAudioInput();
    ~PulseAudioInput() override;

    bool open(int sampleRate, std::string &error) override;
    bool isOpen() const override;
    int sampleRate() const override;
    void setSink(AudioSink *sink) override;
    void setHeld(bool held) override;
    void drain() override;
    // Must not be called from the sink's callbacks.
    void close() override;
    bool isDefaultInput() const override;

    // What the last drain() found, for the benchmark: how much captured audio the server still
    // held when drain() was called, how much of it had not arrived when drain() returned, and
    // how long it waited.
    struct DrainFigures {
        double heldMs = 0;
        double leftMs = 0;
        double waitedMs = 0;
        bool timedOut = false;
    };
    DrainFigures lastDrain() const;

    // The server's name for the source being captured (empty when closed).
    std::string sourceName() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace platform
