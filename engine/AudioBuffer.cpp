#include "engine/AudioBuffer.h"

#include <algorithm>
#include <cstring>

namespace {

// One second at the highest rate: a healthy disk keeps a single chunk in use.
constexpr std::size_t kChunkFrames = 48000;

} // namespace

AudioBuffer::AudioBuffer(std::int64_t capacity) : capacity_(std::max<std::int64_t>(capacity, 1)) {}

void AudioBuffer::push(std::span<const std::int16_t> samples)
{
    if (samples.empty())
        return;
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return;
        const auto room = static_cast<std::size_t>(std::max<std::int64_t>(capacity_ - queued_, 0));
        const std::size_t kept = std::min(samples.size(), room);
        if (kept > 0)
            closeGapLocked();
        for (std::size_t done = 0; done < kept;) {
            if (chunks_.empty() || chunks_.back().written == kChunkFrames) {
                Chunk chunk;
                chunk.samples = spare_ ? std::move(spare_) : std::make_unique<std::int16_t[]>(kChunkFrames);
                chunks_.push_back(std::move(chunk));
            }
            Chunk &chunk = chunks_.back();
            const std::size_t count = std::min(kept - done, kChunkFrames - chunk.written);
            std::memcpy(chunk.samples.get() + chunk.written, samples.data() + done,
                        count * sizeof(std::int16_t));
            chunk.written += count;
            done += count;
        }
        queued_ += static_cast<std::int64_t>(kept);
        accepted_.fetch_add(static_cast<std::int64_t>(kept), std::memory_order_relaxed);
        if (kept < samples.size()) {
            const auto lost = static_cast<std::int64_t>(samples.size() - kept);
            dropped_ += lost;
            if (gapOpen_)
                gaps_.back().frames += lost;
            else
                gaps_.push_back({accepted_.load(std::memory_order_relaxed), lost});
            gapOpen_ = true;
        }
    }
    ready_.notify_one();
}

void AudioBuffer::addGap(std::int64_t frames)
{
    if (frames <= 0)
        return;
    std::lock_guard lock(mutex_);
    if (closed_)
        return;
    const std::int64_t at = accepted_.load(std::memory_order_relaxed);
    if (!gaps_.empty() && gaps_.back().at == at)
        gaps_.back().frames += frames;
    else
        gaps_.push_back({at, frames});
    dropped_ += frames;
}

void AudioBuffer::closeGapLocked()
{
    gapOpen_ = false;
}

void AudioBuffer::close()
{
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        closeGapLocked();
    }
    wake();
}

void AudioBuffer::closeAt(std::int64_t keptFrames)
{
    std::lock_guard lock(mutex_);
    closed_ = true;
    closeGapLocked();
    chunks_.clear();
    queued_ = 0;
    accepted_.store(keptFrames, std::memory_order_relaxed);
}

void AudioBuffer::wake()
{
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    ready_.notify_one();
}

std::span<const std::int16_t> AudioBuffer::front()
{
    std::lock_guard lock(mutex_);
    if (chunks_.empty())
        return {};
    const Chunk &chunk = chunks_.front();
    return {chunk.samples.get() + chunk.read, chunk.written - chunk.read};
}

void AudioBuffer::consume(std::size_t frames)
{
    std::lock_guard lock(mutex_);
    if (chunks_.empty())
        return;
    Chunk &chunk = chunks_.front();
    chunk.read += frames;
    queued_ -= static_cast<std::int64_t>(frames);
    if (chunk.read == kChunkFrames) {
        if (!spare_)
            spare_ = std::move(chunk.samples);
        chunks_.pop_front();
    }
}

std::vector<AudioBuffer::Gap> AudioBuffer::takeGapsReached(std::int64_t written, bool all)
{
    std::lock_guard lock(mutex_);
    std::vector<Gap> reached;
    while (!gaps_.empty() && gaps_.front().at <= written && (all || !gapOpen_ || gaps_.size() > 1)) {
        reached.push_back(gaps_.front());
        gaps_.pop_front();
    }
    if (all)
        gapOpen_ = false;
    return reached;
}

std::int64_t AudioBuffer::queued() const
{
    std::lock_guard lock(mutex_);
    return queued_;
}

std::int64_t AudioBuffer::dropped() const
{
    std::lock_guard lock(mutex_);
    return dropped_;
}
