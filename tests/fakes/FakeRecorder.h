#pragma once

#include "engine/Recorder.h"
#include "recording/RecordingController.h"

#include <memory>
#include <string>
#include <vector>

// A recorder that only notes the calls made to it, in order.
class FakeRecorder : public Recorder {
public:
    void setMeteringEnabled(bool enabled) override
    {
        metering = enabled;
        calls->push_back("setMeteringEnabled");
    }
    bool record() override
    {
        calls->push_back("record");
        recording = true;
        return recordSucceeds;
    }
    void pause() override
    {
        calls->push_back("pause");
        recording = false;
    }
    void stop() override
    {
        calls->push_back("stop");
        recording = false;
        if (!slowDisk)
            emit saved(completionFailure.isEmpty(), TranslatableText::verbatim(completionFailure));
    }
    bool waitUntilSaved(TranslatableText *failure = nullptr) override
    {
        if (failure)
            *failure = TranslatableText::verbatim(completionFailure);
        return completionFailure.isEmpty();
    }
    double secondsToSave() const override { return toSave; }
    // The file of a slow disk is complete now.
    void finishSaving()
    {
        toSave = 0;
        emit saved(completionFailure.isEmpty(), TranslatableText::verbatim(completionFailure));
    }
    double currentTime() const override { return time; }
    float takePeakLevel() override
    {
        calls->push_back("takePeakLevel");
        return peak;
    }

    // Ends by itself, as AudioRecorder does: saved() then says the file is complete only when
    // `saved`.
    void fail(const TranslatableText &reason, bool saved = true)
    {
        if (!saved)
            completionFailure = reason.english();
        emit failed(reason, saved);
    }
    void fail(const QString &reason, bool saved = true) { fail(TranslatableText::verbatim(reason), saved); }

    // Outlives the recorder, so a test can read what a stopped and released recorder was asked.
    std::shared_ptr<std::vector<std::string>> calls = std::make_shared<std::vector<std::string>>();
    bool metering = false;
    bool recording = false;
    bool recordSucceeds = true;
    QString completionFailure; // why saved() says the file is not complete; empty: it is
    bool slowDisk = false;     // saved() waits for finishSaving()
    double toSave = 0;
    double time = 0;
    float peak = -160.0f;
};

// Recorders for a RecordingController: each recording gets a new FakeRecorder, which `latest`
// then points at.
inline RecordingController::RecorderFactory fakeRecorders(FakeRecorder *&latest)
{
    return [&latest](const QString &, SampleRate, std::unique_ptr<platform::AudioInput>,
                     TranslatableText *) -> std::unique_ptr<Recorder> {
        auto made = std::make_unique<FakeRecorder>();
        latest = made.get();
        return made;
    };
}

// No recorder for any recording: none starts.
inline RecordingController::RecorderFactory noRecorders()
{
    return [](const QString &, SampleRate, std::unique_ptr<platform::AudioInput>, TranslatableText *) {
        return std::unique_ptr<Recorder>();
    };
}
