#include "platform/playback/pulse/PulseAudioPlayer.h"

#include "platform/Log.h"
#include "platform/capture/pulse/PulseLoop.h"
#include "platform/capture/pulse/PulseServerConnection.h"
#include "platform/playback/SoundFileReader.h"

#include <QFileInfo>

#include <algorithm>
#include <functional>

namespace platform {

namespace {

TranslatableText playbackText(const char *source)
{
    return {"Playback", source};
}

const TranslatableText kServerGone =
    playbackText(QT_TRANSLATE_NOOP("Playback", "Playback stopped: the sound server went away."));
const TranslatableText kServerSilent =
    playbackText(QT_TRANSLATE_NOOP("Playback", "Playback stopped: the sound server does not answer."));
const TranslatableText kServerMute =
    playbackText(QT_TRANSLATE_NOOP("Playback", "Cannot play: the sound server does not answer."));
const TranslatableText kOutputGone =
    playbackText(QT_TRANSLATE_NOOP("Playback", "Playback stopped: the sound output went away."));

} // namespace

// One file on its way to the server: the libpulse thread, the connection, the stream and the
// reader that feeds it. Every member below the reader is guarded by the loop's lock.
class PulseAudioPlayer::Session {
public:
    // `name` is the stream's, as the desktop's sound settings show it. `ended` is called once, on
    // the loop's thread: with an empty text at the end of the file, else with why the playback
    // broke off.
    Session(const QString &name, std::unique_ptr<SoundFileReader> reader, pa_usec_t latency,
            pa_usec_t patience, std::function<void(const TranslatableText &)> ended)
        : name_(name.toStdString()), reader_(std::move(reader)), latency_(latency), patience_(patience),
          ended_(std::move(ended))
    {
        sampleFormat_.format = PA_SAMPLE_FLOAT32NE;
        sampleFormat_.rate = static_cast<uint32_t>(reader_->rate());
        sampleFormat_.channels = static_cast<uint8_t>(reader_->channels());
    }

    ~Session()
    {
        if (loop_.valid()) {
            LoopLock lock(loop_);
            over_ = true;
            disconnect();
        }
        reader_.reset(); // its thread may be inside fill(): not with the loop locked
    }

    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Starts the thread and the connection, without waiting for the server.
    bool start(TranslatableText *error)
    {
        if (!loop_.valid() || !loop_.start()) {
            if (error)
                *error = playbackText(
                    QT_TRANSLATE_NOOP("Playback", "Cannot play: cannot start the sound thread."));
            return false;
        }
        reader_->start([this] {
            LoopLock lock(loop_);
            fill();
        });
        LoopLock lock(loop_);
        lastNews_ = pa_rtclock_now();
        pa_proplist *properties = pa_proplist_new();
        pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Registratore");
        pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "registratore");
        pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "audio-input-microphone");
        context_ = pa_context_new_with_proplist(loop_.api(), "Registratore", properties);
        pa_proplist_free(properties);
        if (!context_) {
            if (error)
                *error = playbackText(QT_TRANSLATE_NOOP("Playback", "Cannot play: out of memory."));
            return false;
        }
        pa_context_set_state_callback(
            context_, [](pa_context *, void *self) { static_cast<Session *>(self)->contextChanged(); }, this);
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            end(pulseError(context_, playbackText(QT_TRANSLATE_NOOP(
                                         "Playback", "Cannot play: the sound server is not running"))));
            return true;
        }
        watch();
        return true;
    }

    qint64 position()
    {
        LoopLock lock(loop_);
        pa_usec_t heard = 0;
        if (!stream_ || pa_stream_get_state(stream_) != PA_STREAM_READY ||
            pa_stream_get_time(stream_, &heard) < 0)
            return 0;
        return std::min(static_cast<qint64>(heard / PA_USEC_PER_MSEC), reader_->duration());
    }

private:
    // --- on the loop's thread, or with the loop locked --------------------------------------------

    void contextChanged()
    {
        lastNews_ = pa_rtclock_now();
        if (over_)
            return;
        switch (pa_context_get_state(context_)) {
        case PA_CONTEXT_READY:
            reached_ = true;
            openStream();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            end(reached_
                    ? kServerGone
                    : pulseError(context_, playbackText(QT_TRANSLATE_NOOP(
                                               "Playback", "Cannot play: cannot reach the sound server"))));
            break;
        default:
            break;
        }
    }

    void openStream()
    {
        pa_proplist *properties = pa_proplist_new();
        // Music: what desktops show as an application's playback, and what their policies
        // (ducking for a call, for instance) treat as one.
        pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "music");
        pa_proplist_sets(properties, PA_PROP_MEDIA_NAME, name_.c_str());
        stream_ = pa_stream_new_with_proplist(context_, name_.c_str(), &sampleFormat_, nullptr, properties);
        pa_proplist_free(properties);
        if (!stream_) {
            end(pulseError(context_, playbackText(QT_TRANSLATE_NOOP("Playback", "Cannot play this file"))));
            return;
        }
        pa_stream_set_state_callback(
            stream_, [](pa_stream *, void *self) { static_cast<Session *>(self)->streamChanged(); }, this);
        pa_stream_set_write_callback(
            stream_,
            [](pa_stream *, size_t, void *self) {
                auto *session = static_cast<Session *>(self);
                session->lastNews_ = pa_rtclock_now();
                session->fill();
            },
            this);
        pa_stream_set_latency_update_callback(
            stream_,
            [](pa_stream *, void *self) { static_cast<Session *>(self)->lastNews_ = pa_rtclock_now(); },
            this);
        pa_buffer_attr buffer{};
        buffer.maxlength = static_cast<uint32_t>(-1);
        buffer.tlength = static_cast<uint32_t>(pa_usec_to_bytes(latency_, &sampleFormat_));
        buffer.prebuf = static_cast<uint32_t>(-1);
        buffer.minreq = static_cast<uint32_t>(-1);
        buffer.fragsize = static_cast<uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
        if (pa_stream_connect_playback(stream_, nullptr, &buffer, flags, nullptr, nullptr) < 0)
            end(pulseError(context_, playbackText(QT_TRANSLATE_NOOP("Playback", "Cannot play"))));
    }

    void streamChanged()
    {
        lastNews_ = pa_rtclock_now();
        if (over_)
            return;
        switch (pa_stream_get_state(stream_)) {
        case PA_STREAM_READY:
            playing_ = true;
            fill();
            break;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED:
            // A stream that fails with its server is the connection's business.
            if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)))
                return;
            end(playing_ ? kOutputGone
                         : pulseError(context_, playbackText(QT_TRANSLATE_NOOP(
                                                    "Playback", "Cannot play: no sound output"))));
            break;
        default:
            break;
        }
    }

    // Gives the stream what it asks for and the reader has, and drains it after the last sample.
    void fill()
    {
        if (over_ || !stream_ || pa_stream_get_state(stream_) != PA_STREAM_READY || draining_)
            return;
        const std::size_t frame = pa_frame_size(&sampleFormat_);
        std::size_t writable = pa_stream_writable_size(stream_);
        while (writable >= frame) {
            void *data = nullptr;
            std::size_t bytes = writable / frame * frame;
            if (pa_stream_begin_write(stream_, &data, &bytes) < 0 || !data)
                break;
            const std::size_t taken = reader_->take(static_cast<float *>(data), bytes / sizeof(float));
            if (taken == 0) {
                pa_stream_cancel_write(stream_);
                break;
            }
            pa_stream_write(stream_, data, taken * sizeof(float), nullptr, 0, PA_SEEK_RELATIVE);
            writable -= std::min(writable, taken * sizeof(float));
        }
        if (const std::optional<TranslatableText> failure = reader_->failure()) {
            end(*failure);
            return;
        }
        if (!reader_->finished())
            return;
        draining_ = true;
        forget(pa_stream_drain(
            stream_,
            [](pa_stream *, int success, void *self) {
                auto *session = static_cast<Session *>(self);
                // A drain that fails goes with its stream, which says why.
                if (success && !session->over_)
                    session->end({});
            },
            this));
    }

    // Checks every half second that the server still gives news of the connection or the stream.
    void watch()
    {
        timeval when{};
        pa_gettimeofday(&when);
        pa_timeval_add(&when, PA_USEC_PER_SEC / 2);
        watchdog_ = loop_.api()->time_new(
            loop_.api(), &when,
            [](pa_mainloop_api *api, pa_time_event *event, const timeval *, void *self) {
                auto *session = static_cast<Session *>(self);
                api->time_free(event);
                session->watchdog_ = nullptr;
                if (session->over_)
                    return;
                if (pa_rtclock_now() - session->lastNews_ > session->patience_)
                    session->end(session->playing_ ? kServerSilent : kServerMute);
                else
                    session->watch();
            },
            this);
    }

    void end(const TranslatableText &failure)
    {
        if (over_)
            return;
        over_ = true;
        ended_(failure);
    }

    void disconnect()
    {
        if (watchdog_)
            loop_.api()->time_free(std::exchange(watchdog_, nullptr));
        if (stream_) {
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_set_write_callback(stream_, nullptr, nullptr);
            pa_stream_set_latency_update_callback(stream_, nullptr, nullptr);
            pa_stream_disconnect(stream_);
            pa_stream_unref(std::exchange(stream_, nullptr));
        }
        if (context_) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            pa_context_unref(std::exchange(context_, nullptr));
        }
    }

    const std::string name_;
    PulseLoop loop_;
    std::unique_ptr<SoundFileReader> reader_;
    const pa_usec_t latency_;
    const pa_usec_t patience_;
    std::function<void(const TranslatableText &)> ended_;
    pa_sample_spec sampleFormat_{};
    pa_context *context_ = nullptr;
    pa_stream *stream_ = nullptr;
    pa_time_event *watchdog_ = nullptr;
    pa_usec_t lastNews_ = 0;
    bool reached_ = false;  // the server answered
    bool playing_ = false;  // the stream was set up
    bool draining_ = false; // the last sample was written
    bool over_ = false;     // ended, or stopped
};

PulseAudioPlayer::PulseAudioPlayer(std::chrono::milliseconds latency,
                                   std::chrono::milliseconds serverPatience, QObject *parent)
    : AudioPlayer(parent), latency_(latency), serverPatience_(serverPatience)
{
    connect(this, &PulseAudioPlayer::sessionEnded, this, &PulseAudioPlayer::ended, Qt::QueuedConnection);
}

PulseAudioPlayer::~PulseAudioPlayer()
{
    session_.reset();
}

bool PulseAudioPlayer::play(const QString &path, TranslatableText *error)
{
    stop();
    std::unique_ptr<SoundFileReader> reader = SoundFileReader::open(path, error);
    if (!reader)
        return false;
    const QString name = QFileInfo(path).fileName();
    pa_sample_spec sampleFormat{PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(reader->rate()),
                                static_cast<uint8_t>(std::min(reader->channels(), 255))};
    if (!pa_sample_spec_valid(&sampleFormat) || reader->channels() > static_cast<int>(PA_CHANNELS_MAX)) {
        if (error)
            *error =
                playbackText(QT_TRANSLATE_NOOP("Playback", "Cannot play “%1”: %2 channels at %3 Hz are more "
                                                           "than the sound server takes."))
                    .arg(name, QString::number(reader->channels()))
                    .arg(QString::number(reader->rate()));
        return false;
    }
    const qint64 duration = reader->duration();
    const quint64 generation = ++generation_;
    auto session = std::make_unique<Session>(
        name, std::move(reader), static_cast<pa_usec_t>(latency_.count()) * PA_USEC_PER_MSEC,
        static_cast<pa_usec_t>(serverPatience_.count()) * PA_USEC_PER_MSEC,
        [this, generation](const TranslatableText &failure) {
            emit sessionEnded(generation, failure, QPrivateSignal());
        });
    if (!session->start(error))
        return false;
    session_ = std::move(session);
    file_ = path;
    duration_ = duration;
    emit playingChanged(true);
    return true;
}

void PulseAudioPlayer::stop()
{
    if (release())
        emit playingChanged(false);
}

bool PulseAudioPlayer::release()
{
    if (!session_)
        return false;
    ++generation_;
    session_.reset();
    file_.clear();
    duration_ = 0;
    return true;
}

void PulseAudioPlayer::ended(quint64 generation, const TranslatableText &failure)
{
    if (generation != generation_ || !release())
        return;
    if (!failure.isEmpty()) {
        Log::diagnostic(failure.english());
        emit failed(failure);
    }
    emit playingChanged(false);
}

bool PulseAudioPlayer::isPlaying() const
{
    return session_ != nullptr;
}

QString PulseAudioPlayer::file() const
{
    return file_;
}

qint64 PulseAudioPlayer::duration() const
{
    return duration_;
}

qint64 PulseAudioPlayer::position() const
{
    return session_ ? session_->position() : 0;
}

} // namespace platform
