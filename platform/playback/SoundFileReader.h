#pragma once

#include "platform/TranslatableText.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

// A sound file read ahead on a thread of its own, for a player to take its samples from without
// ever waiting for the disk: any format libsndfile reads, at the file's own rate and channel
// count, as interleaved 32-bit float samples. The thread keeps about half a second of audio
// ready.
class SoundFileReader {
public:
    // Opens `path` and reads its header, on the calling thread: nothing, with a readable reason
    // in `*error` (when given), when it is not a file libsndfile reads as audio.
    static std::unique_ptr<SoundFileReader> open(const QString &path, TranslatableText *error = nullptr);
    // Ends the reading thread, waiting for it `patience` at most: a thread held up by a disk
    // that does not answer ends on its own later, and closes the file then.
    ~SoundFileReader();
    SoundFileReader(const SoundFileReader &) = delete;
    SoundFileReader &operator=(const SoundFileReader &) = delete;

    static constexpr int patienceMs = 100;

    int rate() const;
    int channels() const;
    // The length of the file, in milliseconds.
    qint64 duration() const;

    // Starts reading. `more` is called on the reading thread whenever samples were added, and
    // once more when the reading has ended (the end of the file, or a failure); never after
    // the destructor has begun.
    void start(std::function<void()> more);
    // Moves up to `count` samples (whole frames of them) into `to`; returns how many. Any thread.
    std::size_t take(float *to, std::size_t count);
    // How many samples are ready to be taken.
    std::size_t available() const;
    // Whether the file was read to its end and every sample taken.
    bool finished() const;
    // Why reading broke off before the end of the file, when it did.
    std::optional<TranslatableText> failure() const;

private:
    struct State;
    explicit SoundFileReader(std::shared_ptr<State> state);
    std::shared_ptr<State> state_;
};

} // namespace platform
