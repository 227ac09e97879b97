#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

// Audio on its way from the capture thread to the file. The capture thread adds fragments and
// never waits for the disk; the writer takes them in order. Memory is taken a chunk at a time as
// audio piles up and given back once written. Past `capacity` queued frames, what does not fit
// is dropped and counted as a gap at its place in the recording.
class AudioBuffer {
public:
    struct Gap {
        std::int64_t at = 0;     // frames of the recording before the gap
        std::int64_t frames = 0; // frames missing
    };

    explicit AudioBuffer(std::int64_t capacity);

    // Capture thread. Queues what fits, drops the rest. Nothing is queued once closed.
    void push(std::span<const std::int16_t> samples);
    // `frames` that never arrived are missing at the current end of the recording.
    void addGap(std::int64_t frames);
    // No more audio is accepted; with `keptFrames`, the recording is cut back to what was
    // written (the writer failed).
    void close();
    void closeAt(std::int64_t keptFrames);

    // Writer thread. Waits until audio is queued, `wake()` was called or `until` passed.
    template <class Clock, class Duration>
    void waitForAudio(const std::chrono::time_point<Clock, Duration> &until)
    {
        std::unique_lock lock(mutex_);
        ready_.wait_until(lock, until, [&] { return queued_ > 0 || woken_; });
        woken_ = false;
    }
    void wake();
    // The oldest queued audio, contiguous; empty when nothing is queued. Stays valid until
    // consume(), which only the writer calls.
    std::span<const std::int16_t> front();
    void consume(std::size_t frames);
    // Gaps whose place has been reached by `written` frames and whose length is known. With
    // `all`, a gap still growing ends here too.
    std::vector<Gap> takeGapsReached(std::int64_t written, bool all = false);

    // Frames in the recording: written or queued, gaps not counted.
    std::int64_t frames() const { return accepted_.load(std::memory_order_relaxed); }
    std::int64_t queued() const;
    std::int64_t dropped() const;

private:
    struct Chunk {
        std::unique_ptr<std::int16_t[]> samples;
        std::size_t read = 0;
        std::size_t written = 0;
    };

    void closeGapLocked();

    const std::int64_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Chunk> chunks_;
    std::unique_ptr<std::int16_t[]> spare_; // a written chunk kept for the next one
    std::deque<Gap> gaps_;
    bool gapOpen_ = false; // the last gap still grows
    std::int64_t queued_ = 0;
    std::int64_t dropped_ = 0;
    bool closed_ = false;
    bool woken_ = false;
    std::atomic<std::int64_t> accepted_{0};
};
