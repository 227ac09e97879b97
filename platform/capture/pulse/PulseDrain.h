#pragma once

#include "platform/capture/pulse/PulseCaptureStream.h"

#include <cstdint>

namespace platform {

// Fetches what the server holds of a stream's audio, so that a recording that stops or pauses
// keeps everything captured up to that moment.
class PulseDrain {
public:
    // What the last run found, for the benchmark: how much captured audio the server still held
    // when it began, how much of it had not arrived when it returned, and how long it waited.
    struct Figures {
        double heldMs = 0;
        double leftMs = 0;
        double waitedMs = 0;
        bool timedOut = false;
    };

    // Waits until the stream has handed over everything captured up to the call, never longer
    // than a moment. Loop locked, not on the loop's thread.
    void run(PulseLoop &loop, PulseCaptureStream &stream);
    void clear() { figures_ = {}; }
    Figures lastFigures() const { return figures_; }

private:
    Figures figures_;
    bool timingDone_ = false;
    std::uint64_t receivedAtTiming_ = 0;
    PulseCaptureStream *stream_ = nullptr; // while running
    PulseLoop *loop_ = nullptr;
};

} // namespace platform
