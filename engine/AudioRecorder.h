#pragma once

#include "engine/Recorder.h"
#include "engine/SampleRate.h"
#include "platform/AudioInput.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>

// Records the microphone into one Core Audio Format file: 16-bit little-endian PCM, mono.
// Capture and all the disk work run off the UI thread, each on its own: capture hands the audio
// to a buffer and never waits for the disk, and neither does the UI thread, which only starts,
// pauses, stops and reads the time and level, and waits for the sound server a moment at most.
// The file is saved after stop() in the background.
class AudioRecorder : public Recorder {
    Q_OBJECT
public:
    struct Options {
        // Audio that may wait for a slow disk, in frames; past it, audio is dropped and the gap
        // reported. Ten minutes at the highest rate by default (about 55 MiB, taken as needed).
        std::int64_t bufferFrames = std::int64_t{48000} * 600;
        // How long create() waits for the file to be created. A disk that answers within it
        // has a file that cannot be created told by create(); a slower one is not waited for.
        std::chrono::milliseconds creationWait{10};
        // How long a resume, pause() and stop() wait for the input to have done it. A sound
        // server that takes longer (stopped, or hung) is not waited for: the input catches up
        // on a thread of its own, in the order asked, and nothing it captured is lost. The first
        // record() waits until the capture runs.
        std::chrono::milliseconds serverPatience{100};
    };

    // Creates the recorder for `path` at `rate`, capturing from `input` (opened here at that
    // rate if it is not open yet, or reopened if it runs at another rate). Returns nullptr, with
    // why in `*error` (when given), when the file cannot be created or `path` names a folder,
    // pipe, device or link, or when there is no input device.
    // A file at `path` is replaced only once the recording has its first audio on disk.
    static std::unique_ptr<AudioRecorder> create(const QString &path, SampleRate rate,
                                                 std::unique_ptr<platform::AudioInput> input,
                                                 TranslatableText *error, const Options &options);
    static std::unique_ptr<AudioRecorder> create(const QString &path, SampleRate rate,
                                                 std::unique_ptr<platform::AudioInput> input,
                                                 TranslatableText *error = nullptr)
    {
        return create(path, rate, std::move(input), error, Options{});
    }
    ~AudioRecorder() override;

    void setMeteringEnabled(bool enabled) override;
    bool record() override;
    void pause() override;
    // Ends capture now; the file is completed with everything captured up to now in the
    // background, and saved() tells when. Idempotent.
    void stop() override;
    bool waitUntilSaved(TranslatableText *failure = nullptr) override;
    double secondsToSave() const override;

    bool isRecording() const;
    // Seconds of audio in the file: frames written / sample rate. Stands still while paused.
    double currentTime() const override;
    // The peak since the previous call, in dBFS: 0 at full scale, -160 for silence; when none
    // arrived since, the previous reading stands.
    float takePeakLevel() override;

    int sampleRate() const;

    // failed(), saved(), audioMissing() and notice(), inherited from Recorder, are emitted on
    // the writer thread (saved() also within stop() when the writer had ended already),
    // inputChanged() on the input's capture thread. After failed(reason, saved), saved() tells
    // the file complete when `saved` was true, and otherwise not, for `reason`.

private:
    AudioRecorder();
    struct Impl;
    std::unique_ptr<Impl> d;
};
