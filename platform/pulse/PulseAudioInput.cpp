#include "platform/pulse/PulseAudioInput.h"

#include <pulse/pulseaudio.h>
#include <pulse/rtclock.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {

namespace {

// Opening gives up after this long: a hung or unreachable server must not hang the caller.
constexpr pa_usec_t kOpenTimeout = 3 * PA_USEC_PER_SEC;
// While draining, the server is asked for fragments this short, so that it hands over what it
// holds at once instead of at the end of the current quarter second.
constexpr pa_usec_t kDrainFragment = 10 * PA_USEC_PER_MSEC;
// drain() never waits longer than this.
constexpr pa_usec_t kDrainTimeout = 400 * PA_USEC_PER_MSEC;

const char *const kNoMicrophone = "No microphone found.";

class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop *loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
    LoopLock(const LoopLock &) = delete;
    LoopLock &operator=(const LoopLock &) = delete;

private:
    pa_threaded_mainloop *loop_;
};

void forget(pa_operation *operation)
{
    if (operation)
        pa_operation_unref(operation);
}

double toMs(pa_usec_t usec)
{
    return static_cast<double>(usec) / PA_USEC_PER_MSEC;
}

} // namespace

struct PulseAudioInput::Impl {
    pa_threaded_mainloop *loop = nullptr;
    pa_context *context = nullptr;
    pa_stream *stream = nullptr;
    pa_usec_t fragment = 0; // PulseAudioInput::defaultFragment, unless the benchmark asks otherwise
    pa_sample_spec sampleFormat{};
    pa_buffer_attr attr{};
    std::atomic<int> rate{0};
    std::atomic<bool> ready{false};
    std::string source;

    // Guarded by the loop lock (the callbacks run with it held):
    AudioSink *sink = nullptr;
    bool held = false;
    bool lost = false;
    bool lossReported = false;
    std::string lossReason;
    std::uint64_t receivedBytes = 0; // stream position: everything peeked, holes included
    // Audio read in one wake-up, handed to the sink in one piece; between wake-ups it keeps the
    // first byte of a sample split across two fragments. Its room is made at open().
    std::vector<std::int16_t> staging;
    size_t stagedBytes = 0;
    // Hands the staged audio over once the loop has dispatched everything that arrived in this
    // wake-up: the server sends a fragment in several packets (four to six on a remapped source),
    // each with a read callback of its own, and the sink should write the file once a fragment.
    pa_defer_event *handOver = nullptr;
    bool handOverPending = false;
    bool waiting = false; // someone waits in wait(): wake it on every change
    bool deadlinePassed = false;
    bool timingDone = false;
    std::uint64_t receivedAtTiming = 0;
    DrainFigures figures;
    struct Lookup {
        bool done = false;
        std::string name;
        bool found = false;
        bool monitor = false;
    } lookup; // what open() asks the server about its default source

    // --- callbacks, on the loop thread -------------------------------------------------------

    static void contextChanged(pa_context *context, void *self)
    {
        auto *d = static_cast<Impl *>(self);
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context)))
            d->reportLoss("The sound server stopped.");
        pa_threaded_mainloop_signal(d->loop, 0);
    }

    static void streamChanged(pa_stream *stream, void *self)
    {
        auto *d = static_cast<Impl *>(self);
        if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
            d->reportLoss(d->contextGood() ? "The microphone was disconnected."
                                           : "The sound server stopped.");
        pa_threaded_mainloop_signal(d->loop, 0);
    }

    static void deadline(pa_mainloop_api *, pa_time_event *, const struct timeval *, void *self)
    {
        auto *d = static_cast<Impl *>(self);
        d->deadlinePassed = true;
        pa_threaded_mainloop_signal(d->loop, 0);
    }

    static void timingUpdated(pa_stream *, int, void *self)
    {
        auto *d = static_cast<Impl *>(self);
        d->timingDone = true;
        d->receivedAtTiming = d->receivedBytes;
        pa_threaded_mainloop_signal(d->loop, 0);
    }

    static void readable(pa_stream *stream, size_t, void *self)
    {
        auto *d = static_cast<Impl *>(self);
        const void *data = nullptr;
        size_t length = 0;
        // Everything readable now is staged, and handed over by `handOver` once the other
        // packets of this wake-up have been read too.
        while (pa_stream_peek(stream, &data, &length) == 0 && length > 0) {
            if (data) {
                d->stage(static_cast<const std::uint8_t *>(data), length);
            } else {
                // A hole: a stretch the server never captured (e.g. after an overrun). There is
                // no audio to hand over, and making up silence would misplace what follows in
                // time no better than leaving it out; it is skipped, along with the half of a
                // sample it cut.
                d->handStaged();
                d->stagedBytes = 0;
            }
            d->receivedBytes += length;
            pa_stream_drop(stream);
        }
        if (d->stagedBytes >= 2 && !d->handOverPending) {
            d->handOverPending = true;
            pa_threaded_mainloop_get_api(d->loop)->defer_enable(d->handOver, 1);
        }
        if (d->waiting)
            pa_threaded_mainloop_signal(d->loop, 0);
    }

    static void handOverNow(pa_mainloop_api *api, pa_defer_event *event, void *self)
    {
        auto *d = static_cast<Impl *>(self);
        api->defer_enable(event, 0);
        d->handOverPending = false;
        d->handStaged();
        if (d->waiting)
            pa_threaded_mainloop_signal(d->loop, 0);
    }

    // Appends `length` bytes found at stream position `receivedBytes`.
    void stage(const std::uint8_t *bytes, size_t length)
    {
        if (stagedBytes == 0 && receivedBytes % 2 != 0) {
            // The first half of this sample fell in a hole.
            ++bytes;
            --length;
        }
        const size_t samples = (stagedBytes + length + 1) / 2;
        if (staging.size() < samples)
            staging.resize(samples); // only when more than the room made at open() arrives at once
        std::memcpy(reinterpret_cast<std::uint8_t *>(staging.data()) + stagedBytes, bytes, length);
        stagedBytes += length;
    }

    // Hands over the whole samples staged, keeping an odd last byte for the next fragment.
    void handStaged()
    {
        const size_t whole = stagedBytes / 2;
        if (whole > 0)
            hand(std::span<const std::int16_t>(staging.data(), whole));
        if (stagedBytes % 2 != 0) {
            auto *bytes = reinterpret_cast<std::uint8_t *>(staging.data());
            bytes[0] = bytes[stagedBytes - 1];
            stagedBytes = 1;
        } else {
            stagedBytes = 0;
        }
    }

    void hand(std::span<const std::int16_t> samples)
    {
        if (sink && !held)
            sink->audioCaptured(samples);
    }

    void reportLoss(const char *reason)
    {
        ready = false;
        if (lost)
            return;
        lost = true;
        lossReason = reason;
        // What arrived before the loss goes first.
        if (handOverPending) {
            pa_threaded_mainloop_get_api(loop)->defer_enable(handOver, 0);
            handOverPending = false;
            handStaged();
        }
        if (sink && !lossReported) {
            lossReported = true;
            sink->inputLost(lossReason);
        }
    }

    // --- waiting, with the loop locked ---------------------------------------------------------

    // Waits until done() holds or `until` (pa_rtclock_now() time) passes. Returns done().
    template <typename Done> bool wait(pa_usec_t until, Done done)
    {
        if (done())
            return true;
        deadlinePassed = false;
        pa_time_event *timer = pa_context_rttime_new(context, until, &Impl::deadline, this);
        waiting = true;
        while (!done() && !deadlinePassed)
            pa_threaded_mainloop_wait(loop);
        waiting = false;
        if (timer)
            pa_threaded_mainloop_get_api(loop)->time_free(timer);
        return done();
    }

    bool contextGood() const { return context && PA_CONTEXT_IS_GOOD(pa_context_get_state(context)); }
    bool streamGood() const { return stream && PA_STREAM_IS_GOOD(pa_stream_get_state(stream)); }

    std::string contextError(const char *what) const
    {
        return std::string(what) + " (" + pa_strerror(pa_context_errno(context)) + ").";
    }

    // Asks the server for its default source; the name lands in `lookup.name`. A member, so
    // that a late answer after a timeout does not write into a finished stack frame. Loop
    // locked. False when no answer came in time.
    bool askDefaultSource(pa_usec_t until)
    {
        lookup = {};
        forget(pa_context_get_server_info(
            context,
            [](pa_context *, const pa_server_info *info, void *self) {
                auto *d = static_cast<Impl *>(self);
                if (info && info->default_source_name)
                    d->lookup.name = info->default_source_name;
                d->lookup.done = true;
                pa_threaded_mainloop_signal(d->loop, 0);
            },
            this));
        return wait(until, [&] { return lookup.done || !contextGood(); });
    }

    // Connects and checks that the server's default source is a microphone. Loop locked.
    bool connect(pa_usec_t until, std::string &error)
    {
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            error = contextError("No microphone found: the sound server is not running");
            return false;
        }
        wait(until, [&] { return pa_context_get_state(context) == PA_CONTEXT_READY || !contextGood(); });
        if (!contextGood()) {
            error = contextError("No microphone found: cannot reach the sound server");
            return false;
        }
        if (pa_context_get_state(context) != PA_CONTEXT_READY) {
            error = "No microphone found: the sound server does not answer.";
            return false;
        }

        if (!askDefaultSource(until) || !contextGood()) {
            error = "No microphone found: the sound server does not answer.";
            return false;
        }
        if (lookup.name.empty()) {
            error = kNoMicrophone;
            return false;
        }
        lookup.done = false;
        forget(pa_context_get_source_info_by_name(
            context, lookup.name.c_str(),
            [](pa_context *, const pa_source_info *info, int eol, void *self) {
                auto *d = static_cast<Impl *>(self);
                if (info) {
                    d->lookup.found = true;
                    d->lookup.monitor = info->monitor_of_sink != PA_INVALID_INDEX;
                }
                if (eol != 0) {
                    d->lookup.done = true;
                    pa_threaded_mainloop_signal(d->loop, 0);
                }
            },
            this));
        if (!wait(until, [&] { return lookup.done || !contextGood(); }) || !contextGood()) {
            error = "No microphone found: the sound server does not answer.";
            return false;
        }
        // With no microphone plugged in, the server falls back to the monitor of an output,
        // which would record whatever the computer plays: that is not a microphone.
        if (!lookup.found || lookup.monitor) {
            error = kNoMicrophone;
            return false;
        }
        source = lookup.name;
        return true;
    }

    // Starts the record stream. Loop locked.
    bool startStream(pa_usec_t until, std::string &error)
    {
        pa_channel_map map;
        pa_channel_map_init_mono(&map);
        stream = pa_stream_new(context, "Recording", &sampleFormat, &map);
        if (!stream) {
            error = contextError("Cannot capture the microphone");
            return false;
        }
        pa_stream_set_state_callback(stream, &Impl::streamChanged, this);
        pa_stream_set_read_callback(stream, &Impl::readable, this);
        pa_mainloop_api *api = pa_threaded_mainloop_get_api(loop);
        handOver = api->defer_new(api, &Impl::handOverNow, this);
        if (!handOver) {
            error = "Cannot capture the microphone: out of memory.";
            return false;
        }
        api->defer_enable(handOver, 0);

        attr.maxlength = static_cast<uint32_t>(-1);
        attr.tlength = static_cast<uint32_t>(-1);
        attr.prebuf = static_cast<uint32_t>(-1);
        attr.minreq = static_cast<uint32_t>(-1);
        attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(fragment, &sampleFormat));
        staging.assign(attr.fragsize, 0); // room for two fragments' worth of samples
        // Capture from the default source (nullptr), and do not move elsewhere when it goes away.
        //
        // PA_STREAM_EARLY_REQUESTS asks the server to run the source at a latency of one
        // fragment, so that audio arrives every fragment. Without it (and without
        // PA_STREAM_ADJUST_LATENCY, which does the same in PulseAudio 16) the server leaves the
        // source at its largest latency, 2 s on most devices: audio then arrives in 2 s bursts,
        // a killed process loses up to 2 s, and drain() cannot hurry the source. Each wake-up
        // of the source costs the server some CPU: the fragment's length is the trade-off.
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_DONT_MOVE | PA_STREAM_EARLY_REQUESTS);
        if (pa_stream_connect_record(stream, nullptr, &attr, flags) < 0) {
            error = contextError("Cannot capture the microphone");
            return false;
        }
        wait(until, [&] {
            return pa_stream_get_state(stream) == PA_STREAM_READY || !streamGood() || !contextGood();
        });
        if (pa_stream_get_state(stream) == PA_STREAM_READY) {
            if (const char *name = pa_stream_get_device_name(stream))
                source = name;
            return true;
        }
        if (!streamGood() || !contextGood()) {
            const int code = pa_context_errno(context);
            error = code == PA_ERR_NOENTITY ? std::string(kNoMicrophone)
                                            : contextError("Cannot capture the microphone");
        } else {
            error = "Cannot capture the microphone: the sound server does not answer.";
        }
        return false;
    }

    void release()
    {
        if (!loop)
            return;
        {
            LoopLock lock(loop);
            if (handOver) {
                pa_threaded_mainloop_get_api(loop)->defer_free(handOver);
                handOver = nullptr;
                handOverPending = false;
            }
            if (stream) {
                pa_stream_set_state_callback(stream, nullptr, nullptr);
                pa_stream_set_read_callback(stream, nullptr, nullptr);
                pa_stream_disconnect(stream);
                pa_stream_unref(stream);
                stream = nullptr;
            }
            if (context) {
                pa_context_set_state_callback(context, nullptr, nullptr);
                pa_context_disconnect(context);
                pa_context_unref(context);
                context = nullptr;
            }
        }
        pa_threaded_mainloop_stop(loop);
        pa_threaded_mainloop_free(loop);
        loop = nullptr;
        ready = false;
        rate = 0;
        source.clear();
        held = lost = lossReported = false;
        stagedBytes = 0;
        lossReason.clear();
        receivedBytes = 0;
    }
};

PulseAudioInput::PulseAudioInput(std::chrono::milliseconds fragment) : d(std::make_unique<Impl>())
{
    d->fragment = static_cast<pa_usec_t>(fragment.count()) * PA_USEC_PER_MSEC;
}

PulseAudioInput::~PulseAudioInput()
{
    close();
}

bool PulseAudioInput::open(int sampleRate, std::string &error)
{
    if (isOpen() && d->rate == sampleRate)
        return true;
    close();
    error.clear();

    d->sampleFormat.format = PA_SAMPLE_S16NE;
    d->sampleFormat.rate = static_cast<uint32_t>(sampleRate);
    d->sampleFormat.channels = 1;
    if (!pa_sample_spec_valid(&d->sampleFormat)) {
        error = "Cannot capture the microphone at " + std::to_string(sampleRate) + " Hz.";
        return false;
    }

    d->loop = pa_threaded_mainloop_new();
    if (!d->loop) {
        error = "Cannot capture the microphone: out of memory.";
        return false;
    }
    pa_proplist *properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Registratore");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "registratore");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "audio-input-microphone");
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "production");
    d->context =
        pa_context_new_with_proplist(pa_threaded_mainloop_get_api(d->loop), "Registratore", properties);
    pa_proplist_free(properties);
    if (!d->context || pa_threaded_mainloop_start(d->loop) < 0) {
        error = "Cannot capture the microphone: cannot start the sound thread.";
        d->release();
        return false;
    }

    bool started = false;
    {
        LoopLock lock(d->loop);
        pa_context_set_state_callback(d->context, &Impl::contextChanged, d.get());
        const pa_usec_t until = pa_rtclock_now() + kOpenTimeout;
        started = d->connect(until, error) && d->startStream(until, error);
        if (started) {
            d->rate = sampleRate;
            d->ready = true;
        }
    }
    if (!started)
        d->release();
    return started;
}

bool PulseAudioInput::isOpen() const
{
    return d->ready;
}

int PulseAudioInput::sampleRate() const
{
    return d->rate;
}

void PulseAudioInput::setSink(AudioSink *sink)
{
    if (!d->loop || pa_threaded_mainloop_in_thread(d->loop)) {
        d->sink = sink;
        return;
    }
    LoopLock lock(d->loop);
    d->sink = sink;
    // A device lost before anyone listened is still news to the new sink.
    if (sink && d->lost && !d->lossReported) {
        d->lossReported = true;
        sink->inputLost(d->lossReason);
    }
}

void PulseAudioInput::setHeld(bool held)
{
    if (!d->loop)
        return;
    LoopLock lock(d->loop);
    if (d->held == held)
        return;
    d->held = held;
    if (d->streamGood())
        forget(pa_stream_cork(d->stream, held ? 1 : 0, nullptr, nullptr));
}

void PulseAudioInput::drain()
{
    if (!d->loop || pa_threaded_mainloop_in_thread(d->loop))
        return;
    LoopLock lock(d->loop);
    d->figures = {};
    if (!d->streamGood() || pa_stream_get_state(d->stream) != PA_STREAM_READY || d->held)
        return;

    const pa_usec_t start = pa_rtclock_now();
    const pa_usec_t until = start + kDrainTimeout;
    const std::uint64_t receivedAtCall = d->receivedBytes;
    // Short fragments for a moment: the source hands over what it has captured so far instead
    // of waiting for the end of its current fragment.
    pa_buffer_attr quick = d->attr;
    quick.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(kDrainFragment, &d->sampleFormat));
    forget(pa_stream_set_buffer_attr(d->stream, &quick, nullptr, nullptr));

    // Ask twice how much the server still holds. A timing reply comes after every fragment the
    // server sent before it; but audio the source has just read may still be on its way inside
    // the server, counted neither in the source nor in the stream's queue. By the second
    // answer, everything the source had captured at the call is counted.
    std::uint64_t target = receivedAtCall;
    for (int round = 0; round < 2; ++round) {
        d->timingDone = false;
        forget(pa_stream_update_timing_info(d->stream, &Impl::timingUpdated, d.get()));
        if (!d->wait(until, [&] { return d->timingDone || !d->streamGood(); }) || !d->streamGood())
            break;
        const pa_timing_info *timing = pa_stream_get_timing_info(d->stream);
        if (!timing || timing->read_index_corrupt || timing->write_index_corrupt)
            break;
        // Captured, not yet handed over: queued in the server, plus still in the source (less
        // what a monitor source's sink renders ahead of time).
        std::int64_t pending = std::max<std::int64_t>(0, timing->write_index - timing->read_index);
        if (timing->source_usec > timing->sink_usec)
            pending += static_cast<std::int64_t>(
                pa_usec_to_bytes(timing->source_usec - timing->sink_usec, &d->sampleFormat));
        target = std::max(target, d->receivedAtTiming + static_cast<std::uint64_t>(pending));
    }
    d->wait(until, [&] { return (d->receivedBytes >= target && !d->handOverPending) || !d->streamGood(); });

    const double msPerByte =
        1000.0 / (static_cast<double>(pa_frame_size(&d->sampleFormat)) * d->sampleFormat.rate);
    d->figures.heldMs = static_cast<double>(target - receivedAtCall) * msPerByte;
    if (d->receivedBytes < target)
        d->figures.leftMs = static_cast<double>(target - d->receivedBytes) * msPerByte;
    d->figures.waitedMs = toMs(pa_rtclock_now() - start);
    d->figures.timedOut = d->deadlinePassed;
    if (d->streamGood())
        forget(pa_stream_set_buffer_attr(d->stream, &d->attr, nullptr, nullptr));
}

void PulseAudioInput::close()
{
    if (d->loop && pa_threaded_mainloop_in_thread(d->loop)) {
        std::fputs("PulseAudioInput::close() called from the capture thread; ignored\n", stderr);
        return;
    }
    d->release();
}

PulseAudioInput::DrainFigures PulseAudioInput::lastDrain() const
{
    if (!d->loop)
        return d->figures;
    LoopLock lock(d->loop);
    return d->figures;
}

bool PulseAudioInput::isDefaultInput() const
{
    if (!d->loop || !d->ready)
        return false;
    LoopLock lock(d->loop);
    if (!d->contextGood())
        return false;
    // Without an answer the open source is kept: better the microphone in hand than none.
    if (!d->askDefaultSource(pa_rtclock_now() + kOpenTimeout) || d->lookup.name.empty())
        return true;
    return d->lookup.name == d->source;
}

std::string PulseAudioInput::sourceName() const
{
    if (!d->loop)
        return {};
    LoopLock lock(d->loop);
    return d->source;
}

std::unique_ptr<AudioInput> makeSystemAudioInput()
{
    return std::make_unique<PulseAudioInput>();
}

} // namespace platform
