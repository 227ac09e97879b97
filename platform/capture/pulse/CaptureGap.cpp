#include "platform/capture/pulse/CaptureGap.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform {

void CaptureGap::begin(bool held)
{
    seconds_ = 0;
    running_ = !held;
    since_ = lastAudio_; // what the old server captured after its last audio is lost too
    awaitingAudio_ = false;
    open_ = true;
}

void CaptureGap::setHeld(bool held)
{
    if (!held)
        heard();
    if (!open_)
        return;
    if (held && awaitingAudio_)
        end(0);
    else
        hold(held);
}

void CaptureGap::reconnected(bool held)
{
    if (held)
        end(0);
    else
        awaitingAudio_ = true;
}

std::int64_t CaptureGap::takeMissing(std::size_t frames)
{
    heard();
    // The source of the new server may take a moment to start: its first audio marks the end.
    if (awaitingAudio_)
        end(static_cast<double>(frames) / rate_);
    return std::exchange(missing_, 0);
}

void CaptureGap::forget()
{
    heard();
    awaitingAudio_ = false;
    open_ = false;
    missing_ = 0;
}

void CaptureGap::hold(bool held)
{
    if (held && running_)
        seconds_ += std::chrono::duration<double>(Clock::now() - since_).count();
    else if (!held && !running_)
        since_ = Clock::now();
    running_ = !held;
}

void CaptureGap::end(double lessSeconds)
{
    hold(true);
    awaitingAudio_ = false;
    open_ = false;
    missing_ += std::max<std::int64_t>(0, std::llround((seconds_ - lessSeconds) * rate_));
    seconds_ = 0;
}

} // namespace platform
