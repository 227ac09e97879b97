#include "platform/capture/pulse/PulseAudioInput.h"

#include "platform/capture/pulse/CaptureGap.h"
#include "platform/capture/pulse/PulseCaptureStream.h"
#include "platform/capture/pulse/PulseServerConnection.h"
#include "platform/capture/pulse/ServerReconnection.h"

#include "platform/Log.h"

#include <atomic>
#include <utility>

namespace platform {

namespace {

// Opening gives up after this long: a hung or unreachable server must not hang the caller.
constexpr pa_usec_t kOpenTimeout = 3 * PA_USEC_PER_SEC;

const TranslatableText kServerStopped("Microphone",
                                      QT_TRANSLATE_NOOP("Microphone", "The sound server stopped."));
const TranslatableText kDisconnected("Microphone",
                                     QT_TRANSLATE_NOOP("Microphone", "The microphone was disconnected."));
const TranslatableText kNotReopened(
    "Microphone",
    QT_TRANSLATE_NOOP("Microphone", "The microphone could not be opened again after the pause."));
const TranslatableText kCannotStartThread(
    "Microphone",
    QT_TRANSLATE_NOOP("Microphone", "Cannot capture the microphone: cannot start the sound thread."));

} // namespace

struct PulseAudioInput::Impl {
    pa_usec_t fragment = 0;     // PulseAudioInput::defaultFragment, unless the benchmark asks otherwise
    pa_usec_t releaseAfter = 0; // PulseAudioInput::defaultRelease, unless a test asks otherwise
    pa_sample_spec format{};
    std::unique_ptr<PulseLoop> loop;
    std::atomic<int> rate{0};
    std::atomic<bool> ready{false};

    // Guarded by the loop lock (the callbacks run with it held):
    std::unique_ptr<PulseServerConnection> connection;
    std::unique_ptr<PulseCaptureStream> stream;
    PulseDrain drain;
    std::string source;
    bool live = false; // the stream captures for us: opened, not lost, no outage
    AudioSink *sink = nullptr;
    bool held = false;
    bool released = false; // held long enough that the stream was let go
    pa_time_event *releaseTimer = nullptr;
    bool lost = false;
    bool lossReported = false;
    TranslatableText lossReason;
    std::unique_ptr<ServerReconnection> reconnection; // while open
    CaptureGap gap; // what the outages cost, told to the sink before the next audio
    bool closing = false;
    int borrowers = 0; // callers waiting on the server with the connection and the stream

    // Whether the caller is one of the threads that call the sink.
    bool onOwnThread() const
    {
        return loop && (loop->inThread() || (reconnection && reconnection->onThread()));
    }

    // Connects to the server and starts the stream, on `device` (the server's name of a source)
    // or on the default source. Loop locked.
    bool connect(pa_usec_t until, TranslatableText *error, const std::string &device = {})
    {
        connection = std::make_unique<PulseServerConnection>(*loop, [this] { serverLost(); });
        if (!connection->connect(until, error))
            return false;
        return startStream(until, error, device);
    }

    bool startStream(pa_usec_t until, TranslatableText *error, const std::string &device)
    {
        stream = std::make_unique<PulseCaptureStream>(
            *loop, connection->context(), format, fragment,
            [this](std::span<const std::int16_t> samples) { deliver(samples); }, [this] { streamFailed(); });
        stream->setMoved([this](const PulseCaptureStream::Source &to) { moved(to); });
        if (!stream->start(until, device, error))
            return false;
        source = stream->sourceName();
        if (source.empty())
            source = connection->microphone();
        live = true;
        return true;
    }

    // A stream again after a long hold let the last one go: on the microphone captured before,
    // or, when that one is gone, on the default one, which the sink is told of. Loop locked.
    bool reopen()
    {
        const pa_usec_t until = pa_rtclock_now() + kOpenTimeout;
        const std::string previous = source;
        for (const std::string &device : {previous, std::string()}) {
            const bool connected = connection && connection->good();
            if (connected ? startStream(until, nullptr, device) : connect(until, nullptr, device)) {
                if (source != previous)
                    stream->tellSource();
                return true;
            }
            disconnect();
        }
        return false;
    }

    // --- letting the microphone go during a long hold ------------------------------------------

    void armRelease()
    {
        timeval when{};
        pa_gettimeofday(&when);
        pa_timeval_add(&when, releaseAfter);
        releaseTimer = loop->api()->time_new(
            loop->api(), &when,
            [](pa_mainloop_api *, pa_time_event *, const timeval *, void *self) {
                static_cast<Impl *>(self)->releaseDue();
            },
            this);
    }

    void cancelRelease()
    {
        if (releaseTimer)
            loop->api()->time_free(std::exchange(releaseTimer, nullptr));
    }

    // On the loop's thread. Desktops show the microphone in use while any stream captures from
    // it, held or not: the stream goes, the connection stays for a quick return.
    void releaseDue()
    {
        cancelRelease();
        if (!held || closing)
            return;
        if (!live || borrowers > 0) {
            armRelease(); // the server is away, or someone is using the stream: later
            return;
        }
        live = false;
        stream.reset();
        released = true;
    }

    void disconnect()
    {
        live = false;
        stream.reset();
        connection.reset();
    }

    // --- on the loop's thread -----------------------------------------------------------------

    void deliver(std::span<const std::int16_t> samples)
    {
        if (!sink) {
            gap.forget();
            return;
        }
        if (held || lost)
            return;
        if (const std::int64_t missing = gap.takeMissing(samples.size()); missing > 0)
            sink->audioMissing(missing);
        sink->audioCaptured(samples);
    }

    void streamFailed()
    {
        // A stream that fails with its server is the outage's business.
        if (live && connection->good()) {
            live = false;
            reportLoss(kDisconnected);
        }
    }

    // The user or the server moved the stream to another source. The monitor of an output is
    // what the computer plays, not a microphone: the input is lost as if the device went away.
    void moved(const PulseCaptureStream::Source &to)
    {
        if (!live)
            return;
        if (to.monitor) {
            live = false;
            reportLoss(kDisconnected);
            return;
        }
        source = to.name;
        if (sink)
            sink->inputChanged(to.description);
    }

    void serverLost()
    {
        if (!live || closing)
            return;
        stream->handOverNow(); // what arrived before the loss goes first
        live = false;
        gap.begin(held);
        reconnection->start();
    }

    void reportLoss(const TranslatableText &reason)
    {
        ready = false;
        if (lost)
            return;
        lost = true;
        lossReason = reason;
        if (sink && !lossReported) {
            lossReported = true;
            sink->inputLost(lossReason);
        }
    }

    // --- on the reconnecting thread ----------------------------------------------------------

    ServerReconnection::Steps reconnectionSteps()
    {
        return {.connect =
                    [this](pa_usec_t until) {
                        while (borrowers > 0 && !closing)
                            loop->wait(); // drain() or isDefaultInput() still use the old connection
                        disconnect();
                        if (connect(until, nullptr))
                            return true;
                        disconnect();
                        return false;
                    },
                .connected = [this] { gap.reconnected(held); },
                .gaveUp = [this] { reportLoss(kServerStopped); }};
    }

    void release()
    {
        if (!loop)
            return;
        {
            LoopLock lock(*loop);
            closing = true;
            cancelRelease();
        }
        if (reconnection)
            reconnection->stop();
        {
            LoopLock lock(*loop);
            disconnect();
        }
        reconnection.reset();
        loop.reset();
        ready = false;
        rate = 0;
        source.clear();
        held = released = lost = lossReported = closing = false;
        lossReason = {};
    }
};

PulseAudioInput::PulseAudioInput(std::chrono::milliseconds fragment, std::chrono::milliseconds releaseAfter)
    : d(std::make_unique<Impl>())
{
    d->fragment = static_cast<pa_usec_t>(fragment.count()) * PA_USEC_PER_MSEC;
    d->releaseAfter = static_cast<pa_usec_t>(releaseAfter.count()) * PA_USEC_PER_MSEC;
}

PulseAudioInput::~PulseAudioInput()
{
    close();
}

bool PulseAudioInput::open(int sampleRate, TranslatableText *error)
{
    if (isOpen() && d->rate == sampleRate)
        return true;
    close();
    return start(sampleRate, error);
}

bool PulseAudioInput::start(int sampleRate, TranslatableText *error)
{
    const auto fail = [error](const TranslatableText &text) {
        if (error)
            *error = text;
        return false;
    };
    d->format.format = PA_SAMPLE_S16NE;
    d->format.rate = static_cast<uint32_t>(sampleRate);
    d->format.channels = 1;
    if (!pa_sample_spec_valid(&d->format))
        return fail(
            TranslatableText("Microphone",
                             QT_TRANSLATE_NOOP("Microphone", "Cannot capture the microphone at %1 Hz."))
                .arg(QString::number(sampleRate)));
    d->loop = std::make_unique<PulseLoop>();
    if (!d->loop->valid()) {
        d->loop.reset();
        return fail(
            {"Microphone", QT_TRANSLATE_NOOP("Microphone", "Cannot capture the microphone: out of memory.")});
    }
    if (!d->loop->start()) {
        d->release();
        return fail(kCannotStartThread);
    }
    bool started = false;
    {
        LoopLock lock(*d->loop);
        d->gap = CaptureGap(sampleRate);
        d->reconnection = std::make_unique<ServerReconnection>(
            *d->loop, std::chrono::microseconds(serverReturnBound).count(), d->reconnectionSteps());
        started = d->connect(pa_rtclock_now() + kOpenTimeout, error);
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
    if (!d->loop || d->onOwnThread()) {
        d->sink = sink;
        return;
    }
    LoopLock lock(*d->loop);
    d->sink = sink;
    // A device lost before anyone listened is still news to the new sink.
    if (sink && d->lost && !d->lossReported) {
        d->lossReported = true;
        sink->inputLost(d->lossReason);
    }
}

void PulseAudioInput::setHeld(bool held)
{
    if (!d->loop || d->onOwnThread())
        return;
    LoopLock lock(*d->loop);
    if (d->held == held)
        return;
    if (held) {
        d->held = true;
        d->gap.setHeld(true);
        d->armRelease();
        return;
    }
    d->cancelRelease();
    if (d->released) {
        d->released = false;
        d->held = false;
        d->gap.setHeld(false);
        if (!d->reopen())
            d->reportLoss(kNotReopened);
        return;
    }
    // What the stream captured during the hold and has not handed over yet is fetched now and
    // dropped, still held: only what comes after this moment is delivered.
    if (d->live && d->stream->ready()) {
        ++d->borrowers;
        d->drain.run(*d->loop, *d->stream);
        --d->borrowers;
        d->loop->wake();
    }
    d->held = false;
    d->gap.setHeld(false);
}

void PulseAudioInput::drain()
{
    if (!d->loop || d->onOwnThread())
        return;
    LoopLock lock(*d->loop);
    d->drain.clear();
    // While the server is away there is nothing to fetch: what it held went with it.
    if (!d->live || !d->stream->ready() || d->held)
        return;
    ++d->borrowers;
    d->drain.run(*d->loop, *d->stream);
    --d->borrowers;
    d->loop->wake();
}

void PulseAudioInput::close()
{
    if (d->onOwnThread()) {
        Log::diagnostic(QStringLiteral("PulseAudioInput::close() called from the capture thread; ignored"));
        return;
    }
    d->release();
}

PulseAudioInput::DrainFigures PulseAudioInput::lastDrain() const
{
    if (!d->loop)
        return d->drain.lastFigures();
    LoopLock lock(*d->loop);
    return d->drain.lastFigures();
}

bool PulseAudioInput::isDefaultInput() const
{
    if (!d->loop || !d->ready || d->onOwnThread())
        return false;
    LoopLock lock(*d->loop);
    if (!d->live)
        return false; // the server is away: whatever comes back is opened afresh
    if (!d->connection->good())
        return false;
    ++d->borrowers;
    const std::optional<std::string> name = d->connection->defaultSource(pa_rtclock_now() + kOpenTimeout);
    --d->borrowers;
    d->loop->wake();
    // Without an answer the open source is kept: better the microphone in hand than none.
    return !name || *name == d->source;
}

std::string PulseAudioInput::sourceName() const
{
    if (!d->loop)
        return {};
    LoopLock lock(*d->loop);
    return d->source;
}

} // namespace platform
