#include "platform/capture/pulse/PulseDrain.h"

#include <algorithm>

namespace platform {

namespace {

// While draining, the server is asked for fragments this short, so that it hands over what it
// holds at once instead of at the end of the current quarter second.
constexpr pa_usec_t kDrainFragment = 10 * PA_USEC_PER_MSEC;
// A drain never waits longer than this.
constexpr pa_usec_t kDrainTimeout = 400 * PA_USEC_PER_MSEC;

} // namespace

void PulseDrain::run(PulseLoop &loop, PulseCaptureStream &stream)
{
    figures_ = {};
    stream_ = &stream;
    loop_ = &loop;
    const pa_usec_t start = pa_rtclock_now();
    const pa_usec_t until = start + kDrainTimeout;
    const std::uint64_t receivedAtCall = stream.receivedBytes();
    // Short fragments for a moment: the source hands over what it has captured so far instead
    // of waiting for the end of its current fragment.
    stream.useFragment(kDrainFragment);

    // Ask twice how much the server still holds. A timing reply comes after every fragment the
    // server sent before it; but audio the source has just read may still be on its way inside
    // the server, counted neither in the source nor in the stream's queue. By the second
    // answer, everything the source had captured at the call is counted.
    std::uint64_t target = receivedAtCall;
    for (int round = 0; round < 2; ++round) {
        timingDone_ = false;
        forget(pa_stream_update_timing_info(
            stream.stream(),
            [](pa_stream *, int, void *self) {
                auto *drain = static_cast<PulseDrain *>(self);
                if (!drain->stream_)
                    return; // an answer that came after the drain gave up
                drain->timingDone_ = true;
                drain->receivedAtTiming_ = drain->stream_->receivedBytes();
                drain->loop_->wake();
            },
            this));
        if (!loop.waitUntil(until, [&] { return timingDone_ || !stream.good(); }) || !stream.good())
            break;
        const pa_timing_info *timing = pa_stream_get_timing_info(stream.stream());
        if (!timing || timing->read_index_corrupt || timing->write_index_corrupt)
            break;
        // Captured, not yet handed over: queued in the server, plus still in the source (less
        // what a monitor source's sink renders ahead of time).
        std::int64_t pending = std::max<std::int64_t>(0, timing->write_index - timing->read_index);
        if (timing->source_usec > timing->sink_usec)
            pending += static_cast<std::int64_t>(
                pa_usec_to_bytes(timing->source_usec - timing->sink_usec, &stream.format()));
        target = std::max(target, receivedAtTiming_ + static_cast<std::uint64_t>(pending));
    }
    const bool done = loop.waitUntil(until, [&] {
        return (stream.receivedBytes() >= target && !stream.handOverPending()) || !stream.good();
    });

    const pa_sample_spec &format = stream.format();
    const double msPerByte = 1000.0 / (static_cast<double>(pa_frame_size(&format)) * format.rate);
    figures_.heldMs = static_cast<double>(target - receivedAtCall) * msPerByte;
    if (stream.receivedBytes() < target)
        figures_.leftMs = static_cast<double>(target - stream.receivedBytes()) * msPerByte;
    figures_.waitedMs = static_cast<double>(pa_rtclock_now() - start) / PA_USEC_PER_MSEC;
    figures_.timedOut = !done;
    stream.useNormalFragment();
    stream_ = nullptr;
}

} // namespace platform
