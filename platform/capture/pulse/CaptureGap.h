#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace platform {

// The audio a capture could not keep while its sound server was away: from the last audio of
// the old server to the first audio of the new one, less the time the capture was held (a
// paused recording misses nothing). Not thread-safe: the input guards it.
class CaptureGap {
public:
    using Clock = std::chrono::steady_clock;

    explicit CaptureGap(int rate = 0) : rate_(rate) {}

    // Audio arrived, or capture was let run again: a gap starting now loses nothing before.
    void heard() { lastAudio_ = Clock::now(); }
    // The server went away.
    void begin(bool held);
    void setHeld(bool held);
    // Connected again. The gap ends with the first audio, unless the capture is held.
    void reconnected(bool held);
    // `frames` frames are about to be handed over: the frames missing before them, once.
    std::int64_t takeMissing(std::size_t frames);
    // Nobody listens: what went missing is nobody's loss.
    void forget();

private:
    void hold(bool held);
    void end(double lessSeconds);

    int rate_;
    Clock::time_point lastAudio_ = Clock::now();
    Clock::time_point since_;
    double seconds_ = 0;
    bool running_ = false;
    bool open_ = false; // from begin() to the end of the gap
    bool awaitingAudio_ = false;
    std::int64_t missing_ = 0;
};

} // namespace platform
