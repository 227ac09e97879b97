#pragma once

#include "platform/capture/pulse/PulseLoop.h"

#include "platform/TranslatableText.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace platform {

// The record stream of one server connection, and the fragments of audio it brings: read as
// they arrive, and handed over in one piece per wake-up as whole 16-bit samples. Everything
// here runs with the loop locked; the callbacks on the loop's thread.
class PulseCaptureStream {
public:
    using Deliver = std::function<void(std::span<const std::int16_t>)>;
    // The source the stream captures now, after the user or the server moved it: its name,
    // its description for people, and whether it is the monitor of an output.
    struct Source {
        std::string name;
        std::string description;
        bool monitor = false;
    };
    using Moved = std::function<void(const Source &)>;

    // `deliver` receives the audio; `failed` is called when the stream stops for good.
    PulseCaptureStream(PulseLoop &loop, pa_context *context, const pa_sample_spec &format, pa_usec_t fragment,
                       Deliver deliver, std::function<void()> failed);
    ~PulseCaptureStream();
    PulseCaptureStream(const PulseCaptureStream &) = delete;
    PulseCaptureStream &operator=(const PulseCaptureStream &) = delete;

    // Starts capturing `device` (a source's name), or the server's default source when it is
    // empty. False, with the reason in `*error` (when given), when the stream is not ready by
    // `until`.
    bool start(pa_usec_t until, const std::string &device, TranslatableText *error);
    // Called on the loop's thread once the source the stream was moved to is known.
    void setMoved(Moved moved) { moved_ = std::move(moved); }
    bool good() const;
    bool ready() const;
    // The server's name for the source captured.
    std::string sourceName() const;
    // Looks up the source captured now and tells it as a move (setMoved()).
    void tellSource();

    // Hands over what is staged now instead of at the end of the loop's wake-up.
    void handOverNow();

    // For drain: how much has arrived (stream position, holes included), whether some of it
    // is still to be handed over, and the fragment length, shortened for a moment.
    std::uint64_t receivedBytes() const { return receivedBytes_; }
    bool handOverPending() const { return handOverPending_; }
    void useFragment(pa_usec_t fragment);
    void useNormalFragment();
    pa_stream *stream() const { return stream_; }
    const pa_sample_spec &format() const { return format_; }

private:
    static void readable(pa_stream *stream, size_t, void *self);
    static void moved(pa_stream *stream, void *self);
    void lookUpSource();
    void cancelLookup();
    void stage(const std::uint8_t *bytes, size_t length);
    void handStaged();

    PulseLoop &loop_;
    pa_context *context_;
    pa_sample_spec format_;
    pa_buffer_attr attr_{};
    Deliver deliver_;
    std::function<void()> failed_;
    Moved moved_;
    pa_operation *lookup_ = nullptr; // the moved-to source's details, while asked
    pa_stream *stream_ = nullptr;
    std::uint64_t receivedBytes_ = 0;
    // Audio read in one wake-up, handed over in one piece; between wake-ups it keeps the first
    // byte of a sample split across two fragments. Its room is made at start().
    std::vector<std::int16_t> staging_;
    size_t stagedBytes_ = 0;
    // Hands the staged audio over once the loop has dispatched everything that arrived in this
    // wake-up: the server sends a fragment in several packets (four to six on a remapped source),
    // each with a read callback of its own, and the sink should write the file once a fragment.
    pa_defer_event *handOver_ = nullptr;
    bool handOverPending_ = false;
};

} // namespace platform
