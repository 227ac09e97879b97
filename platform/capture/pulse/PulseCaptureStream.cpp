#include "platform/capture/pulse/PulseCaptureStream.h"

#include "platform/capture/pulse/PulseServerConnection.h"

#include <cstring>

namespace platform {

namespace {

const TranslatableText kCannotCapture("Microphone",
                                      QT_TRANSLATE_NOOP("Microphone", "Cannot capture the microphone"));

// `text` in `*error` when given; false.
bool fail(TranslatableText *error, const TranslatableText &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

PulseCaptureStream::PulseCaptureStream(PulseLoop &loop, pa_context *context, const pa_sample_spec &format,
                                       pa_usec_t fragment, Deliver deliver, std::function<void()> failed)
    : loop_(loop), context_(context), format_(format), deliver_(std::move(deliver)),
      failed_(std::move(failed))
{
    attr_.maxlength = static_cast<uint32_t>(-1);
    attr_.tlength = static_cast<uint32_t>(-1);
    attr_.prebuf = static_cast<uint32_t>(-1);
    attr_.minreq = static_cast<uint32_t>(-1);
    attr_.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(fragment, &format_));
}

PulseCaptureStream::~PulseCaptureStream()
{
    cancelLookup();
    if (handOver_)
        loop_.api()->defer_free(handOver_);
    if (stream_) {
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_set_read_callback(stream_, nullptr, nullptr);
        pa_stream_set_moved_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
    }
}

bool PulseCaptureStream::start(pa_usec_t until, const std::string &device, TranslatableText *error)
{
    pa_channel_map map;
    pa_channel_map_init_mono(&map);
    stream_ = pa_stream_new(context_, "Recording", &format_, &map);
    if (!stream_)
        return fail(error, pulseError(context_, kCannotCapture));
    pa_stream_set_state_callback(
        stream_,
        [](pa_stream *stream, void *self) {
            auto *capture = static_cast<PulseCaptureStream *>(self);
            if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)) && capture->failed_) {
                capture->handOverNow(); // what arrived before goes first
                capture->failed_();
            }
            capture->loop_.wake();
        },
        this);
    pa_stream_set_read_callback(stream_, &PulseCaptureStream::readable, this);
    pa_stream_set_moved_callback(stream_, &PulseCaptureStream::moved, this);
    handOver_ = loop_.api()->defer_new(
        loop_.api(),
        [](pa_mainloop_api *, pa_defer_event *, void *self) {
            static_cast<PulseCaptureStream *>(self)->handOverNow();
        },
        this);
    if (!handOver_)
        return fail(error,
                    TranslatableText(
                        "Microphone",
                        QT_TRANSLATE_NOOP("Microphone", "Cannot capture the microphone: out of memory.")));
    loop_.api()->defer_enable(handOver_, 0);
    staging_.assign(attr_.fragsize, 0); // room for two fragments' worth of samples

    // Capture from the default source (nullptr) unless told which. The stream may be moved to
    // another source, by the user (the desktop's sound settings) or by the server when the
    // source goes away.
    //
    // PA_STREAM_EARLY_REQUESTS asks the server to run the source at a latency of one fragment,
    // so that audio arrives every fragment. Without it (and without PA_STREAM_ADJUST_LATENCY,
    // which does the same in PulseAudio 16) the server leaves the source at its largest latency,
    // 2 s on most devices: audio then arrives in 2 s bursts, a killed process loses up to 2 s,
    // and drain() cannot hurry the source. Each wake-up of the source costs the server some
    // CPU: the fragment's length is the trade-off.
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_EARLY_REQUESTS);
    if (pa_stream_connect_record(stream_, device.empty() ? nullptr : device.c_str(), &attr_, flags) < 0)
        return fail(error, pulseError(context_, kCannotCapture));
    const auto contextGood = [&] { return PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)); };
    loop_.waitUntil(until, [&] { return ready() || !good() || !contextGood(); });
    if (ready())
        return true;
    if (!good() || !contextGood())
        return fail(error, pa_context_errno(context_) == PA_ERR_NOENTITY
                               ? TranslatableText("Microphone",
                                                  QT_TRANSLATE_NOOP("Microphone", "No microphone found."))
                               : pulseError(context_, kCannotCapture));
    return fail(error,
                TranslatableText(
                    "Microphone",
                    QT_TRANSLATE_NOOP("Microphone",
                                      "Cannot capture the microphone: the sound server does not answer.")));
}

bool PulseCaptureStream::good() const
{
    return stream_ && PA_STREAM_IS_GOOD(pa_stream_get_state(stream_));
}

bool PulseCaptureStream::ready() const
{
    return stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY;
}

std::string PulseCaptureStream::sourceName() const
{
    const char *name = stream_ ? pa_stream_get_device_name(stream_) : nullptr;
    return name ? name : "";
}

void PulseCaptureStream::tellSource()
{
    if (good())
        lookUpSource();
}

void PulseCaptureStream::useFragment(pa_usec_t fragment)
{
    pa_buffer_attr quick = attr_;
    quick.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(fragment, &format_));
    forget(pa_stream_set_buffer_attr(stream_, &quick, nullptr, nullptr));
}

void PulseCaptureStream::useNormalFragment()
{
    if (good())
        forget(pa_stream_set_buffer_attr(stream_, &attr_, nullptr, nullptr));
}

void PulseCaptureStream::readable(pa_stream *stream, size_t, void *self)
{
    auto *capture = static_cast<PulseCaptureStream *>(self);
    const void *data = nullptr;
    size_t length = 0;
    // Everything readable now is staged, and handed over by `handOver_` once the other packets
    // of this wake-up have been read too.
    while (pa_stream_peek(stream, &data, &length) == 0 && length > 0) {
        if (data) {
            capture->stage(static_cast<const std::uint8_t *>(data), length);
        } else {
            // A hole: a stretch the server never captured (e.g. after an overrun). There is no
            // audio to hand over, and making up silence would misplace what follows in time no
            // better than leaving it out; it is skipped, along with the half of a sample it cut.
            capture->handStaged();
            capture->stagedBytes_ = 0;
        }
        capture->receivedBytes_ += length;
        pa_stream_drop(stream);
    }
    if (capture->stagedBytes_ >= 2 && !capture->handOverPending_) {
        capture->handOverPending_ = true;
        capture->loop_.api()->defer_enable(capture->handOver_, 1);
    }
    capture->loop_.wakeWaiters();
}

// The stream now captures another source: what came from the previous one is handed over first,
// then the new source's details are asked for and told.
void PulseCaptureStream::moved(pa_stream *, void *self)
{
    auto *capture = static_cast<PulseCaptureStream *>(self);
    capture->handOverNow();
    capture->lookUpSource();
}

void PulseCaptureStream::lookUpSource()
{
    cancelLookup();
    lookup_ = pa_context_get_source_info_by_index(
        context_, pa_stream_get_device_index(stream_),
        [](pa_context *, const pa_source_info *info, int eol, void *self) {
            auto *capture = static_cast<PulseCaptureStream *>(self);
            if (info) {
                Source source{.name = info->name ? info->name : "",
                              .description = info->description ? info->description : "",
                              .monitor = info->monitor_of_sink != PA_INVALID_INDEX};
                if (source.description.empty())
                    source.description = source.name;
                if (capture->moved_)
                    capture->moved_(source);
            }
            if (eol != 0 && capture->lookup_) {
                pa_operation_unref(capture->lookup_); // libpulse holds its own until it returns
                capture->lookup_ = nullptr;
            }
        },
        this);
}

void PulseCaptureStream::cancelLookup()
{
    if (!lookup_)
        return;
    if (pa_operation_get_state(lookup_) == PA_OPERATION_RUNNING)
        pa_operation_cancel(lookup_);
    pa_operation_unref(lookup_);
    lookup_ = nullptr;
}

void PulseCaptureStream::handOverNow()
{
    if (handOverPending_) {
        loop_.api()->defer_enable(handOver_, 0);
        handOverPending_ = false;
    }
    handStaged();
    loop_.wakeWaiters();
}

// Appends `length` bytes found at stream position `receivedBytes_`.
void PulseCaptureStream::stage(const std::uint8_t *bytes, size_t length)
{
    if (stagedBytes_ == 0 && receivedBytes_ % 2 != 0) {
        // The first half of this sample fell in a hole.
        ++bytes;
        --length;
    }
    const size_t samples = (stagedBytes_ + length + 1) / 2;
    if (staging_.size() < samples)
        staging_.resize(samples); // only when more than the room made at start() arrives at once
    std::memcpy(reinterpret_cast<std::uint8_t *>(staging_.data()) + stagedBytes_, bytes, length);
    stagedBytes_ += length;
}

// Hands over the whole samples staged, keeping an odd last byte for the next fragment.
void PulseCaptureStream::handStaged()
{
    const size_t whole = stagedBytes_ / 2;
    if (whole > 0)
        deliver_(std::span<const std::int16_t>(staging_.data(), whole));
    if (stagedBytes_ % 2 != 0) {
        auto *bytes = reinterpret_cast<std::uint8_t *>(staging_.data());
        bytes[0] = bytes[stagedBytes_ - 1];
        stagedBytes_ = 1;
    } else {
        stagedBytes_ = 0;
    }
}

} // namespace platform
