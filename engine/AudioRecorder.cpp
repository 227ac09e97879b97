#include "engine/AudioRecorder.h"

#include "engine/AudioBuffer.h"
#include "engine/BenchTrace.h"
#include "engine/FileWriter.h"
#include "engine/RecordingFile.h"
#include "engine/RequestQueue.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr float kSilenceDb = -160.0f;

const TranslatableText kNoMicrophone("Microphone", QT_TRANSLATE_NOOP("Microphone", "No microphone found."));

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

// The recorder's state is shared by four threads: the UI thread (the public functions), the
// control thread, which starts, holds, lets run and stops the input as the UI thread asks, in
// that order, the input's capture thread (audioCaptured, audioMissing, inputChanged, inputLost),
// which only copies each fragment into the buffer, and the writer thread, which creates the file
// and moves the buffer into it. The UI thread never waits for the disk, and waits for the sound
// server a moment at most: it waits a moment for the file to be created, and for the control
// thread, and never past that.
struct AudioRecorder::Impl final : platform::AudioSink {
    enum class State { Ready, Recording, Paused, Ended };

    AudioRecorder *owner = nullptr;
    int rate = 0;
    std::unique_ptr<platform::AudioInput> input;
    std::unique_ptr<AudioBuffer> buffer;
    std::unique_ptr<FileWriter> writer;
    // What the UI thread asked for last. The capture follows on the control thread.
    enum class Asked { Nothing, Record, Pause, Stop };
    Asked asked = Asked::Nothing; // UI thread only
    std::chrono::milliseconds patience{};
    std::unique_ptr<RequestQueue> control;
    // The capture started: even an empty file takes the chosen path.
    std::atomic<bool> started{false};
    // The recorder is going away: what its writer says is nobody's business any more.
    std::atomic<bool> quiet{false};

    // Serialises the capture thread's look at the state with the UI thread's changes of it, so
    // that nothing captured after a pause reaches the buffer.
    std::mutex stateMutex;
    std::atomic<State> state{State::Ready};

    std::atomic<bool> metering{false};
    // The largest magnitude since the last takePeakLevel(), or -1 when no audio arrived since.
    std::atomic<int> peakSinceUpdate{-1};
    float peakDb = kSilenceDb; // UI thread only

    // platform::AudioSink, on the capture thread.
    void audioCaptured(std::span<const std::int16_t> samples) override
    {
        std::lock_guard lock(stateMutex);
        if (state != State::Recording || samples.empty())
            return;
        if (metering)
            raisePeak(peakOf(samples));
        buffer->push(samples);
    }

    void audioMissing(std::int64_t frames) override
    {
        std::lock_guard lock(stateMutex);
        if (state == State::Recording)
            buffer->addGap(frames);
    }

    void inputChanged(const std::string &description) override
    {
        if (state != State::Ended)
            emit owner->inputChanged(QString::fromStdString(description));
    }

    void inputLost(const TranslatableText &reason) override
    {
        {
            std::lock_guard lock(stateMutex);
            if (state == State::Ended)
                return;
            // Everything the input delivered before losing the device is queued already.
            state = State::Ended;
        }
        writer->inputLost(
            reason.isEmpty()
                ? TranslatableText("Microphone",
                                   QT_TRANSLATE_NOOP("Microphone", "The microphone is no longer available."))
                : reason);
    }

    void setState(State next)
    {
        std::lock_guard lock(stateMutex);
        if (state != State::Ended)
            state = next;
    }

    void raisePeak(int peak)
    {
        int seen = peakSinceUpdate.load(std::memory_order_relaxed);
        while (peak > seen && !peakSinceUpdate.compare_exchange_weak(seen, peak, std::memory_order_relaxed)) {
        }
    }

    FileWriter::Events writerEvents()
    {
        FileWriter::Events events;
        events.audioMissing = [this](const AudioBuffer::Gap &gap) {
            if (!quiet)
                emit owner->audioMissing(static_cast<double>(gap.frames) / rate,
                                         static_cast<double>(gap.at) / rate);
        };
        events.failed = [this](const TranslatableText &reason, bool saved) {
            state = State::Ended;
            if (!quiet)
                emit owner->failed(reason, saved);
        };
        events.finished = [this](bool complete, const TranslatableText &failure) {
            benchtrace::mark("file complete");
            if (!quiet)
                emit owner->saved(complete, failure);
        };
        events.told = [this](const TranslatableText &text) {
            if (!quiet)
                emit owner->notice(text);
        };
        events.moved = [this](const QString &path) {
            if (!quiet)
                emit owner->fileMoved(path);
        };
        return events;
    }

    // Carries out `request` on the control thread, and waits for it a moment at most: fetching
    // what the sound server still holds, or opening the microphone again after a long pause,
    // waits on a server that may not answer.
    void carryOut(std::function<void()> request)
    {
        control->post(std::move(request));
        control->waitUntilIdle(patience);
    }

    bool record()
    {
        if (asked == Asked::Stop || state == State::Ended)
            return false;
        if (asked == Asked::Record)
            return true;
        if (asked == Asked::Pause) {
            asked = Asked::Record;
            // The held input delivers nothing: what it captures once let run again belongs in
            // the file, and what it captured while held is dropped by the input itself.
            carryOut([this] {
                setState(State::Recording);
                input->setHeld(false);
            });
            return state != State::Ended;
        }
        asked = Asked::Record;
        // What the input captured before this moment (while the save dialog was up) and is still
        // on its way is dropped: the recording goes on from now. The start waits for that (a few
        // milliseconds; the server has just answered the recorder's creation), so that a started
        // recording captures from the moment it says so.
        control->post([this] {
            input->drain();
            setState(State::Recording);
            if (state == State::Recording && !started.exchange(true))
                benchtrace::mark("recording started");
        });
        control->waitUntilIdle();
        return state == State::Recording;
    }

    void pause()
    {
        if (asked != Asked::Record)
            return;
        asked = Asked::Pause;
        carryOut([this] {
            if (state != State::Recording)
                return;
            // What was captured before the pause belongs in the file.
            input->drain();
            setState(State::Paused);
            benchtrace::mark("paused at frame", buffer->frames());
            // A short hold keeps the microphone ready, so the first words after the resume are
            // kept; a long one lets it go, so the desktop no longer shows it in use.
            input->setHeld(true);
            // A long pause leaves a complete file on disk.
            writer->requestSync();
        });
    }

    void stop()
    {
        if (std::exchange(asked, Asked::Stop) == Asked::Stop)
            return;
        if (writer->onWriterThread()) {
            // From a failed() handler connected directly: the input is released with the recorder.
            writer->finish(started);
            return;
        }
        benchtrace::mark("stop");
        carryOut([this] {
            if (state == State::Recording)
                input->drain();
            setState(State::Ended);
            input->setSink(nullptr);
            input->close();
            writer->finish(started);
        });
    }
};

AudioRecorder::AudioRecorder() : d(std::make_unique<Impl>())
{
    d->owner = this;
}

AudioRecorder::~AudioRecorder()
{
    if (!d->writer)
        return;
    d->quiet = true;
    d->stop();
    d->control.reset();
    d->writer.reset();
}

std::unique_ptr<AudioRecorder> AudioRecorder::create(const QString &path, SampleRate sampleRate,
                                                     std::unique_ptr<platform::AudioInput> input,
                                                     TranslatableText *error, const Options &options)
{
    const int rate = hertz(sampleRate);
    if (!input) {
        if (error)
            *error = kNoMicrophone;
        return nullptr;
    }
    // The input is opened before the file is created, so that no file is touched when there
    // is nothing to record from.
    // The recording comes from the input that is the default when the user confirms.
    if (!input->isOpen() || input->sampleRate() != rate || !input->isDefaultInput()) {
        input->close();
        TranslatableText reason;
        if (!input->open(rate, &reason)) {
            if (error)
                *error = reason.isEmpty() ? kNoMicrophone : reason;
            return nullptr;
        }
    }

    std::unique_ptr<AudioRecorder> recorder(new AudioRecorder);
    Impl &d = *recorder->d;
    d.rate = rate;
    d.patience = options.serverPatience;
    d.buffer = std::make_unique<AudioBuffer>(options.bufferFrames);
    d.writer = std::make_unique<FileWriter>(path, rate, *d.buffer, d.writerEvents());
    // A file that cannot be created is told here, as the start's failure, when the disk answers
    // at once. A slow disk is not waited for: the recording starts into the buffer, and a file
    // that turns out not to be possible ends it then.
    if (d.writer->waitForFile(options.creationWait, error) == FileWriter::Creation::Failed) {
        d.quiet = true;
        d.writer.reset();
        return nullptr;
    }
    d.input = std::move(input);
    d.input->setSink(&d);
    d.control = std::make_unique<RequestQueue>();
    return recorder;
}

void AudioRecorder::setMeteringEnabled(bool enabled)
{
    d->metering = enabled;
    d->peakSinceUpdate = -1;
}

bool AudioRecorder::record()
{
    return d->record();
}

void AudioRecorder::pause()
{
    d->pause();
}

void AudioRecorder::stop()
{
    d->stop();
}

bool AudioRecorder::waitUntilSaved(TranslatableText *failure)
{
    d->stop();
    d->control->waitUntilIdle();
    return d->writer->wait(failure);
}

double AudioRecorder::secondsToSave() const
{
    return static_cast<double>(d->buffer->queued()) / d->rate;
}

bool AudioRecorder::isRecording() const
{
    return d->state == Impl::State::Recording;
}

double AudioRecorder::currentTime() const
{
    return static_cast<double>(d->buffer->frames()) / d->rate;
}

float AudioRecorder::takePeakLevel()
{
    const int peak = d->peakSinceUpdate.exchange(-1);
    if (!d->metering || d->state != Impl::State::Recording)
        d->peakDb = kSilenceDb;
    else if (peak >= 0)
        d->peakDb = decibels(peak);
    // Otherwise no audio arrived since the last reading (the sound server hands it over a
    // fragment at a time, a few times a second): the reading stands rather than dropping to
    // silence between fragments.
    return d->peakDb;
}

int AudioRecorder::sampleRate() const
{
    return d->rate;
}
