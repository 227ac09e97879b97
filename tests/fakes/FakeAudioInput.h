#pragma once

#include "platform/AudioInput.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <mutex>
#include <numbers>
#include <span>
#include <string>
#include <thread>
#include <vector>

// A microphone for tests. Audio reaches the sink either when the test pushes it (push(), on the
// calling thread) or from a capture thread of its own (start()), which produces fragments at
// the pace of real time or as fast as it can.
class FakeAudioInput final : public platform::AudioInput {
public:
    // Fills `samples` with the audio of consecutive frames, the first being frame `first`
    // (counted from start()).
    using Generator = std::function<void(std::uint64_t first, std::span<std::int16_t> samples)>;

    ~FakeAudioInput() override { close(); }

    // open() fails with this reason from now on (empty: open() succeeds again).
    void failOpenWith(std::string reason)
    {
        std::lock_guard lock(stateMutex_);
        openError_ = std::move(reason);
    }

    // When false, a held input keeps delivering, as a real one may for audio already in flight:
    // the recorder must then drop it itself.
    void setHonoursHold(bool honours) { honoursHold_ = honours; }

    bool open(int rate, TranslatableText *error = nullptr) override
    {
        std::lock_guard lock(stateMutex_);
        ++openCalls_;
        if (!openError_.empty()) {
            if (error)
                *error = TranslatableText::verbatim(QString::fromStdString(openError_));
            return false;
        }
        open_ = true;
        lost_ = false;
        rate_ = rate;
        return true;
    }
    bool isOpen() const override { return open_; }
    int sampleRate() const override { return rate_; }

    void setSink(platform::AudioSink *sink) override
    {
        std::lock_guard lock(deliveryMutex_);
        sink_ = sink;
    }
    void setHeld(bool held) override
    {
        held_ = held;
        ++heldChanges_;
    }
    void drain() override
    {
        // Nothing is buffered here: once no delivery is under way, everything captured so far
        // has reached the sink.
        std::lock_guard lock(deliveryMutex_);
        ++drainCalls_;
    }
    void close() override
    {
        stopCapture();
        std::lock_guard lock(stateMutex_);
        if (open_)
            ++closeCalls_;
        open_ = false;
    }

    // Delivers `samples` to the sink now. Returns whether a sink received them.
    bool push(std::span<const std::int16_t> samples)
    {
        std::lock_guard lock(deliveryMutex_);
        return deliverLocked(samples);
    }
    bool push(std::size_t frames, std::int16_t value)
    {
        const std::vector<std::int16_t> samples(frames, value);
        return push(samples);
    }

    // The input could not capture `frames` frames (its sound server restarted).
    void reportMissing(std::int64_t frames)
    {
        std::lock_guard lock(deliveryMutex_);
        if (sink_)
            sink_->audioMissing(frames);
    }

    // The device goes away: the sink hears of it once, and nothing is delivered afterwards.
    void loseDevice(const std::string &reason)
    {
        std::lock_guard lock(deliveryMutex_);
        if (lost_)
            return;
        lost_ = true;
        open_ = false;
        if (sink_)
            sink_->inputLost(TranslatableText::verbatim(QString::fromStdString(reason)));
    }

    // Starts the capture thread: fragments of `fragment` length at the open rate, each filled
    // by `generator`, at `pace` times real time (1: real time), or back to back when it is 0.
    // With `totalFrames`, the thread delivers exactly that many frames and ends (finished()).
    void start(Generator generator, std::chrono::microseconds fragment = std::chrono::milliseconds(20),
               double pace = 1, std::uint64_t totalFrames = 0)
    {
        stopCapture();
        running_ = true;
        finished_ = false;
        capture_ = std::thread([this, generator = std::move(generator), fragment, pace, totalFrames] {
            const auto frames =
                static_cast<std::size_t>(static_cast<std::int64_t>(rate_) * fragment.count() / 1000000);
            std::vector<std::int16_t> buffer(frames);
            std::uint64_t first = 0;
            const bool paced = pace > 0;
            const auto interval = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::duration<double, std::micro>(static_cast<double>(fragment.count()) /
                                                          (paced ? pace : 1)));
            auto due = std::chrono::steady_clock::now();
            while (running_) {
                if (totalFrames != 0 && first >= totalFrames)
                    break;
                if (paced) {
                    due += interval;
                    std::this_thread::sleep_until(due);
                }
                const std::size_t count =
                    totalFrames != 0
                        ? static_cast<std::size_t>(std::min<std::uint64_t>(frames, totalFrames - first))
                        : frames;
                const std::span<std::int16_t> piece(buffer.data(), count);
                generator(first, piece);
                first += count;
                generatedFrames_ += count;
                push(piece);
                if (!paced)
                    std::this_thread::yield();
            }
            finished_ = true;
        });
    }
    // The capture thread has delivered the frames start() was given.
    bool finished() const { return finished_; }
    void stopCapture()
    {
        running_ = false;
        if (capture_.joinable())
            capture_.join();
    }

    int openCalls() const { return openCalls_; }
    int closeCalls() const { return closeCalls_; }
    int drainCalls() const { return drainCalls_; }
    int heldChanges() const { return heldChanges_; }
    bool held() const { return held_; }
    std::uint64_t generatedFrames() const { return generatedFrames_; }
    std::uint64_t deliveredFrames() const { return deliveredFrames_; }

    // Generators.
    static Generator constant(std::int16_t value)
    {
        return [value](std::uint64_t, std::span<std::int16_t> samples) {
            std::fill(samples.begin(), samples.end(), value);
        };
    }
    // Each sample is its frame's index, wrapping: a file made of it shows any lost or repeated
    // frame as a break in the count.
    static Generator counter()
    {
        return [](std::uint64_t first, std::span<std::int16_t> samples) {
            for (std::size_t i = 0; i < samples.size(); ++i)
                samples[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(first + i));
        };
    }
    static Generator sine(double frequency, double amplitude, int rate)
    {
        return [=](std::uint64_t first, std::span<std::int16_t> samples) {
            for (std::size_t i = 0; i < samples.size(); ++i) {
                const double t = static_cast<double>(first + i) / rate;
                samples[i] = static_cast<std::int16_t>(amplitude * 32767 *
                                                       std::sin(2 * std::numbers::pi * frequency * t));
            }
        };
    }

private:
    bool deliverLocked(std::span<const std::int16_t> samples)
    {
        if (!sink_ || !open_ || lost_ || (held_ && honoursHold_))
            return false;
        sink_->audioCaptured(samples);
        deliveredFrames_ += samples.size();
        return true;
    }

    mutable std::mutex stateMutex_;
    std::mutex deliveryMutex_;
    platform::AudioSink *sink_ = nullptr;
    std::string openError_;
    std::atomic<bool> open_{false};
    std::atomic<bool> lost_{false};
    std::atomic<bool> held_{false};
    std::atomic<bool> honoursHold_{true};
    std::atomic<int> rate_{0};
    std::atomic<int> openCalls_{0};
    std::atomic<int> closeCalls_{0};
    std::atomic<int> drainCalls_{0};
    std::atomic<int> heldChanges_{0};
    std::atomic<std::uint64_t> generatedFrames_{0};
    std::atomic<std::uint64_t> deliveredFrames_{0};
    std::atomic<bool> running_{false};
    std::atomic<bool> finished_{false};
    std::thread capture_;
};
