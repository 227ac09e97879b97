#include "recorder/AudioRecorder.h"

#include "recorder/BenchTrace.h"

#include <QDir>
#include <QFile>

#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr int kSupportedRates[] = {12000, 24000, 48000};
constexpr float kSilenceDb = -160.0f;

// The header is rewritten after at most this much audio, so a killed process leaves a file that
// plays up to a fraction of a second before the kill. Rewriting it is a 4 KiB write at the start
// of the file: a handful per second costs nothing.
constexpr int kHeaderUpdatesPerSecond = 5;

QString keyName(const char *key)
{
    return QString::fromLatin1(key);
}

// Why `settings` cannot be recorded, or nothing when they are 16-bit mono little-endian
// interleaved integer PCM at a supported rate (then stored in `rate`).
std::optional<QString> settingsProblem(const RecordingSettings &settings, int &rate)
{
    const char *required[] = {RecordingKey::formatId,         RecordingKey::sampleRate,
                              RecordingKey::numberOfChannels, RecordingKey::bitDepth,
                              RecordingKey::isBigEndian,      RecordingKey::isFloat,
                              RecordingKey::isNonInterleaved};
    for (const char *key : required) {
        if (!settings.contains(key))
            return QStringLiteral("The recording settings lack %1.").arg(keyName(key));
    }
    const auto value = [&](const char *key) { return settings.at(key); };

    if (value(RecordingKey::formatId) != kAudioFormatLinearPCM) {
        return QStringLiteral("Only linear PCM can be recorded (%1 is 0x%2).")
            .arg(keyName(RecordingKey::formatId))
            .arg(static_cast<qulonglong>(value(RecordingKey::formatId)), 0, 16);
    }
    const std::int64_t asked = value(RecordingKey::sampleRate);
    if (std::find(std::begin(kSupportedRates), std::end(kSupportedRates), asked) ==
        std::end(kSupportedRates)) {
        return QStringLiteral("A sample rate of %1 Hz is not supported: it must be 12000, 24000 or 48000 Hz.")
            .arg(asked);
    }
    if (value(RecordingKey::numberOfChannels) != 1) {
        return QStringLiteral("Only mono can be recorded (%1 is %2).")
            .arg(keyName(RecordingKey::numberOfChannels))
            .arg(value(RecordingKey::numberOfChannels));
    }
    if (value(RecordingKey::bitDepth) != 16) {
        return QStringLiteral("Only 16-bit samples can be recorded (%1 is %2).")
            .arg(keyName(RecordingKey::bitDepth))
            .arg(value(RecordingKey::bitDepth));
    }
    if (value(RecordingKey::isFloat) != 0)
        return QStringLiteral("Only integer samples can be recorded (%1 is set).")
            .arg(keyName(RecordingKey::isFloat));
    if (value(RecordingKey::isBigEndian) != 0) {
        return QStringLiteral("Only little-endian samples can be recorded (%1 is set).")
            .arg(keyName(RecordingKey::isBigEndian));
    }
    if (value(RecordingKey::isNonInterleaved) != 0) {
        return QStringLiteral("Only interleaved samples can be recorded (%1 is set).")
            .arg(keyName(RecordingKey::isNonInterleaved));
    }
    rate = static_cast<int>(asked);
    return std::nullopt;
}

// libsndfile's message for the last failure on `file` (nullptr: the last failed open), without
// its "System error : " prefix, so that what remains is the operating system's reason.
QString sndfileReason(SNDFILE *file)
{
    QString text = QString::fromLocal8Bit(sf_strerror(file)).trimmed();
    const QString prefix = QStringLiteral("System error :");
    if (text.startsWith(prefix))
        text = text.mid(prefix.size()).trimmed();
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

int peakOf(std::span<const std::int16_t> samples)
{
    int peak = 0;
    for (const std::int16_t sample : samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

float decibels(int peak)
{
    if (peak <= 0)
        return kSilenceDb;
    return std::max(kSilenceDb, static_cast<float>(20.0 * std::log10(peak / 32768.0)));
}

} // namespace

// The recorder's state is shared by two threads: the UI thread (the public functions) and the
// input's capture thread (audioCaptured, inputLost), which writes each fragment to the file as
// it arrives. Writing there rather than on a writer thread of our own saves a thread wake-up per
// fragment, keeps no audio waiting in our memory (a killed process loses only what the sound
// server has not handed over yet), and lets an input that runs faster than the disk wait for it
// instead of filling memory. The UI thread never waits for the disk while recording: it reads
// the time and the level from atomics, and takes `fileMutex` only to pause and stop (stop()
// waits for the file to be completed, by design).
struct AudioRecorder::Impl final : platform::AudioSink {
    enum class State { Ready, Recording, Paused, Ended };

    AudioRecorder *owner = nullptr;
    QString path;
    int rate = 0;
    std::unique_ptr<platform::AudioInput> input;
    bool stopCalled = false; // UI thread only
    QString stopAnswer;      // UI thread only

    std::mutex fileMutex;
    // Guarded by `fileMutex`:
    SNDFILE *file = nullptr;
    std::int64_t sinceHeader = 0;
    bool firstWritten = false;

    // Written with `fileMutex` held, read anywhere.
    std::atomic<State> state{State::Ready};
    // Frames in the file. The UI reads it without waiting for the disk.
    std::atomic<std::int64_t> framesRecorded{0};

    std::atomic<bool> metering{false};
    // The largest magnitude since the last updateMeters(), or -1 when no audio arrived since.
    std::atomic<int> peakSinceUpdate{-1};
    float peakDb = kSilenceDb; // UI thread only

    // platform::AudioSink, on the capture thread.
    void audioCaptured(std::span<const std::int16_t> samples) override
    {
        std::optional<QString> failure;
        bool saved = false;
        {
            std::lock_guard lock(fileMutex);
            if (state != State::Recording || samples.empty())
                return;
            if (metering)
                raisePeak(peakOf(samples));
            const auto count = static_cast<sf_count_t>(samples.size());
            const sf_count_t put = sf_write_short(file, samples.data(), count);
            if (put > 0) {
                framesRecorded += put;
                sinceHeader += put;
                if (!std::exchange(firstWritten, true))
                    benchtrace::mark("first sample written");
            }
            if (put != count) {
                failure =
                    QStringLiteral("Cannot write to “%1”: %2.").arg(shownPath(path), sndfileReason(file));
                saved = !completeFile();
            } else if (sinceHeader >= rate / kHeaderUpdatesPerSecond) {
                sf_command(file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
                sinceHeader = 0;
            }
        }
        if (failure)
            announce(*failure, saved);
    }

    void inputLost(const std::string &reason) override
    {
        bool saved = false;
        {
            std::lock_guard lock(fileMutex);
            if (state == State::Ended)
                return;
            // Everything the input delivered before losing the device is in the file already.
            saved = !completeFile();
        }
        announce(reason.empty() ? QStringLiteral("The microphone is no longer available.")
                                : QString::fromStdString(reason),
                 saved);
    }

    // Ends the recording and completes the file: its final header, then closing it. Returns
    // why that failed, if it did. With `fileMutex` held.
    std::optional<QString> completeFile()
    {
        state = State::Ended;
        if (!file)
            return std::nullopt;
        std::optional<QString> failure;
        // Closing writes the final header. It rewrites bytes that already exist, so it normally
        // succeeds even on a full disk.
        sf_command(file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
        if (sf_error(file) != SF_ERR_NO_ERROR)
            failure = QStringLiteral("Cannot complete “%1”: %2.").arg(shownPath(path), sndfileReason(file));
        if (const int closed = sf_close(file); closed != SF_ERR_NO_ERROR && !failure) {
            failure = QStringLiteral("Cannot complete “%1”: %2.")
                          .arg(shownPath(path), QString::fromLocal8Bit(sf_error_number(closed)));
        }
        file = nullptr;
        return failure;
    }

    // Emits failed(), marking this thread so that a handler connected directly which calls
    // stop() does not wait for the very callback it runs in.
    void announce(const QString &reason, bool saved)
    {
        announcing = true;
        emit owner->failed(reason, saved);
        announcing = false;
    }
    static thread_local bool announcing;

    void raisePeak(int peak)
    {
        int seen = peakSinceUpdate.load(std::memory_order_relaxed);
        while (peak > seen && !peakSinceUpdate.compare_exchange_weak(seen, peak, std::memory_order_relaxed)) {
        }
    }

    bool record()
    {
        switch (state.load()) {
        case State::Ended:
            return false;
        case State::Recording:
            return true;
        case State::Ready: {
            // What the input captured before this moment (while the save dialog was up) and
            // is still on its way is dropped: the file starts now.
            input->drain();
            std::lock_guard lock(fileMutex);
            if (state == State::Ready) {
                state = State::Recording;
                benchtrace::mark("recording started");
            }
            return state == State::Recording;
        }
        case State::Paused: {
            // The input ran on while paused and what it captured was dropped; what is still on
            // its way from before this moment is dropped too.
            input->drain();
            std::lock_guard lock(fileMutex);
            if (state == State::Paused)
                state = State::Recording;
            return state == State::Recording;
        }
        }
        return false;
    }

    void pause()
    {
        if (state != State::Recording)
            return;
        // What was captured before the pause belongs in the file.
        input->drain();
        {
            std::lock_guard lock(fileMutex);
            if (state != State::Recording)
                return;
            state = State::Paused;
            // A long pause leaves a complete file behind.
            sf_command(file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
            sinceHeader = 0;
        }
        // The input is not held: a held input takes a fraction of a second to deliver again,
        // which would cost the first words after the resume.
    }

    QString stop()
    {
        // A failed() handler connected directly runs in the capture thread's callback, which
        // has ended the recording already and cannot wait for itself; the owner's next stop()
        // or destruction completes it.
        if (announcing)
            return {};
        if (std::exchange(stopCalled, true))
            return stopAnswer;
        benchtrace::mark("stop");
        if (state == State::Recording)
            input->drain();
        std::optional<QString> failure;
        {
            std::lock_guard lock(fileMutex);
            failure = completeFile();
        }
        benchtrace::mark("file complete");
        input->setSink(nullptr);
        input->close();
        stopAnswer = failure.value_or(QString());
        return stopAnswer;
    }
};

thread_local bool AudioRecorder::Impl::announcing = false;

AudioRecorder::AudioRecorder() : d(std::make_unique<Impl>())
{
    d->owner = this;
}

AudioRecorder::~AudioRecorder()
{
    d->stop();
}

std::unique_ptr<AudioRecorder> AudioRecorder::create(const QString &path, const RecordingSettings &settings,
                                                     std::unique_ptr<platform::AudioInput> input,
                                                     QString &error)
{
    error.clear();
    int rate = 0;
    if (const auto problem = settingsProblem(settings, rate)) {
        error = *problem;
        return nullptr;
    }
    if (!input) {
        error = QStringLiteral("No microphone found.");
        return nullptr;
    }
    // The input is opened before the file is created, so that no empty file is left behind when
    // there is nothing to record from.
    // The recording comes from the input that is the default when the user confirms.
    if (!input->isOpen() || input->sampleRate() != rate || !input->isDefaultInput()) {
        input->close();
        std::string reason;
        if (!input->open(rate, reason)) {
            error = reason.empty() ? QStringLiteral("No microphone found.") : QString::fromStdString(reason);
            return nullptr;
        }
    }

    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_CAF | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file) {
        error =
            QStringLiteral("Cannot create the file “%1”: %2.").arg(shownPath(path), sndfileReason(nullptr));
        return nullptr;
    }

    std::unique_ptr<AudioRecorder> recorder(new AudioRecorder);
    Impl &d = *recorder->d;
    d.path = path;
    d.rate = rate;
    d.file = file;
    d.input = std::move(input);
    d.input->setSink(&d);
    return recorder;
}

void AudioRecorder::setMeteringEnabled(bool enabled)
{
    d->metering = enabled;
    d->peakSinceUpdate = -1;
}

bool AudioRecorder::prepareToRecord()
{
    // The file exists from create() on; nothing is left to prepare.
    return d->state != Impl::State::Ended;
}

bool AudioRecorder::record()
{
    return d->record();
}

void AudioRecorder::pause()
{
    d->pause();
}

QString AudioRecorder::stop()
{
    return d->stop();
}

bool AudioRecorder::isRecording() const
{
    return d->state == Impl::State::Recording;
}

double AudioRecorder::currentTime() const
{
    return static_cast<double>(d->framesRecorded.load()) / d->rate;
}

void AudioRecorder::updateMeters()
{
    const int peak = d->peakSinceUpdate.exchange(-1);
    if (!d->metering || d->state != Impl::State::Recording)
        d->peakDb = kSilenceDb;
    else if (peak >= 0)
        d->peakDb = decibels(peak);
    // Otherwise no audio arrived since the last reading (the sound server hands it over a
    // fragment at a time, a few times a second): the reading stands rather than dropping to
    // silence between fragments.
}

float AudioRecorder::peakPowerForChannel(int channel) const
{
    return channel == 0 ? d->peakDb : kSilenceDb;
}

QString AudioRecorder::path() const
{
    return d->path;
}

int AudioRecorder::sampleRate() const
{
    return d->rate;
}
