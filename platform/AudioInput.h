#pragma once

#include "platform/TranslatableText.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace platform {

// Receives what the microphone captured. Called on the input's own capture thread,
// never on the UI thread.
class AudioSink {
public:
    virtual ~AudioSink() = default;
    // Signed 16-bit mono samples, in capture order.
    virtual void audioCaptured(std::span<const std::int16_t> samples) = 0;
    // The input stopped for good (device unplugged, sound server gone). Called at most once.
    virtual void inputLost(const TranslatableText &reason) = 0;
    // The input could not capture `frames` frames (its sound server restarted and it reconnected);
    // capture goes on and what follows is delivered as usual. Called on the capture thread.
    virtual void audioMissing(std::int64_t frames) { (void)frames; }
    // Capture goes on from another microphone (the user or the system moved it there), named by
    // `description` as the desktop shows it. Called on the capture thread.
    virtual void inputChanged(const std::string &description) { (void)description; }
};

// The desktop's default microphone, captured as 16-bit mono at a chosen rate.
class AudioInput {
public:
    virtual ~AudioInput() = default;

    // Opens the input that is the desktop's default right now and starts capturing.
    // While no sink is attached, captured audio is dropped. Returns false, with a readable
    // reason in `*error` (when given), when there is no input device or no sound server.
    virtual bool open(int sampleRate, TranslatableText *error = nullptr) = 0;
    virtual bool isOpen() const = 0;
    virtual int sampleRate() const = 0;

    // Attaches or detaches (nullptr) the sink. Thread-safe; once it returns, the previous
    // sink is never called again.
    virtual void setSink(AudioSink *sink) = 0;

    // Holds capture (a paused recording) or lets it run again. A held input delivers nothing.
    // For a while it keeps the device running, so that it delivers again at once; held longer,
    // it lets the device go, so that the desktop no longer shows the microphone in use, and
    // opens it again when let run. Let run again, it delivers what it captures from that moment
    // on, never what it captured while held.
    virtual void setHeld(bool held) = 0;

    // Delivers to the sink everything the input has captured up to this call, waiting for
    // the capture thread if needed. Used before a recording's file is closed.
    virtual void drain() = 0;

    // Stops capturing and releases the device. Idempotent.
    virtual void close() = 0;

    // Whether the open input is still the desktop's default (the user may pick another one
    // while the save dialog is up).
    virtual bool isDefaultInput() const { return isOpen(); }
};

using AudioInputFactory = std::function<std::unique_ptr<AudioInput>()>;

// The default microphone of this desktop: PulseAudio or PipeWire on Linux, QAudioSource in the
// portable build (capture/SystemAudioInput.cpp picks it).
std::unique_ptr<AudioInput> makeSystemAudioInput();

} // namespace platform
