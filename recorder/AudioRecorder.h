#pragma once

#include "platform/AudioInput.h"
#include "recorder/Recorder.h"
#include "recorder/RecordingSettings.h"

#include <QString>

#include <memory>

// Records the microphone into one Core Audio Format file: 16-bit little-endian PCM, mono.
// Capture and file writing run off the UI thread; the UI thread only starts, pauses, stops
// and reads the time and level.
class AudioRecorder : public Recorder {
    Q_OBJECT
public:
    // Creates the recorder for `path` with `settings`, capturing from `input` (opened here at
    // the settings' rate if it is not open yet, or reopened if it runs at another rate).
    // Returns nullptr with a readable `error` when the settings are not 16-bit mono
    // little-endian interleaved integer PCM at 12000, 24000 or 48000 Hz, when the file cannot
    // be created, or when there is no input device.
    static std::unique_ptr<AudioRecorder> create(const QString &path, const RecordingSettings &settings,
                                                 std::unique_ptr<platform::AudioInput> input, QString &error);
    ~AudioRecorder() override;

    void setMeteringEnabled(bool enabled) override;
    bool prepareToRecord() override;
    bool record() override;
    void pause() override;
    // Completes the file with everything captured up to now. Returns why that failed, empty
    // when the file is complete. Idempotent: later calls return the first answer.
    QString stop() override;

    bool isRecording() const;
    // Seconds of audio in the file: frames written / sample rate. Stands still while paused.
    double currentTime() const override;
    // Takes the peak of the samples since the previous call; when none arrived since (audio
    // comes a few times a second) the previous reading stands.
    void updateMeters() override;
    // dBFS of the peak taken by updateMeters: 0 at full scale, -160 for silence.
    float peakPowerForChannel(int channel) const override;

    QString path() const;
    int sampleRate() const;

    // failed(reason, saved), inherited from Recorder, is emitted on the capture thread when the
    // recording ends by itself (disk full, device lost).

private:
    AudioRecorder();
    struct Impl;
    std::unique_ptr<Impl> d;
};
