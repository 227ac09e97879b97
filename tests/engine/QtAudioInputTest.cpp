// The portable build's input (QAudioSource) against a private PulseAudio server, which Qt
// Multimedia reaches through its own PulseAudio backend on Linux.

#include "platform/capture/qt/QtAudioInput.h"
#include "PrivatePulseServer.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

class QtCapture : public PrivatePulseServer {
protected:
    static void SetUpTestSuite()
    {
        PrivatePulseServer::SetUpTestSuite();
        static int argc = 1;
        static char name[] = "engine_tests";
        static char *argv[] = {name, nullptr};
        application_ = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite()
    {
        delete application_; // ends the capture thread
        PrivatePulseServer::TearDownTestSuite();
    }

    // Opens the default microphone and waits until its audio flows, as the panel opens it before
    // the save dialog.
    static std::unique_ptr<platform::QtAudioInput>
    openFlowing(int rate, std::chrono::milliseconds releaseAfter = platform::QtAudioInput::defaultRelease)
    {
        auto input = std::make_unique<platform::QtAudioInput>(releaseAfter);
        TranslatableText error;
        if (!input->open(rate, &error)) {
            ADD_FAILURE() << error.english().toStdString();
            return input;
        }
        CountingSink counter;
        input->setSink(&counter);
        const auto until = std::chrono::steady_clock::now() + 5s;
        while (counter.frames == 0 && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(10ms);
        EXPECT_GT(counter.frames, 0u) << "no audio from the default microphone";
        std::this_thread::sleep_for(600ms);
        input->setSink(nullptr);
        return input;
    }

    static inline QCoreApplication *application_ = nullptr;
};

} // namespace

TEST_F(QtCapture, NoMicrophoneIsToldAndNothingOpens)
{
    platform::QtAudioInput input;
    TranslatableText error;
    EXPECT_FALSE(input.open(48000, &error));
    EXPECT_EQ(error.english(), QStringLiteral("No microphone found."));
    EXPECT_FALSE(input.isOpen());
    input.close();
}

// One microphone: Qt 6.4 does not know PulseAudio's default one, and takes the first.
TEST_F(QtCapture, RecordsTheToneOfTheMicrophoneAtEachRate)
{
    addMicrophone("vmic", 1000);
    setDefaultSource("vmic");
    TempDir dir;
    for (const int rate : {12000, 48000}) {
        SCOPED_TRACE(rate);
        const QString path = dir.file("tone.caf");
        auto input = openFlowing(rate);
        EXPECT_TRUE(input->isDefaultInput());
        TranslatableText error;
        auto recorder = AudioRecorder::create(path, atRate(rate), std::move(input), &error);
        ASSERT_TRUE(recorder) << error.english().toStdString();
        ASSERT_TRUE(recorder->record());
        std::this_thread::sleep_for(1200ms);
        recorder->waitUntilSaved();
        const SoundFile file = readSoundFile(path);
        ASSERT_TRUE(file.opened);
        EXPECT_EQ(file.rate, rate);
        EXPECT_GT(file.samples.size(), static_cast<size_t>(rate));
        EXPECT_NEAR(toneFrequency(file.samples, rate), 1000, 5);
    }
}

// Short and long pauses leave out what the microphone heard meanwhile and lose little around
// them; a long one lets the microphone go (its stream ends) and the resume opens it again.
TEST_F(QtCapture, APauseKeepsNothingOfItselfAndALongOneLetsTheMicrophoneGo)
{
    addMicrophone("vmic", 440);
    setDefaultSource("vmic");
    players_.push_back(
        spawn({"parecord", "--latency-msec=20", "-d", "vmic", "--file-format=wav", "/dev/null"}));
    const auto streams = [] { return run("pactl list short source-outputs | wc -l").output; };
    // The tap's own stream counts from the moment it connects.
    for (int i = 0; i < 50 && streams() == "0"; ++i)
        std::this_thread::sleep_for(50ms);
    const std::string others = streams();
    TempDir dir;
    for (const auto pause : {500ms, 1500ms}) {
        const bool letGo = pause > 1s;
        SCOPED_TRACE(letGo ? "long pause" : "short pause");
        const QString path = dir.file("paused.caf");
        TranslatableText error;
        auto recorder = AudioRecorder::create(path, atRate(48000), openFlowing(48000, 1s), &error);
        ASSERT_TRUE(recorder) << error.english().toStdString();
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(recorder->record());
        std::this_thread::sleep_for(700ms);
        const auto paused = std::chrono::steady_clock::now();
        recorder->pause();
        const double atPause = recorder->currentTime();
        std::this_thread::sleep_for(pause);
        EXPECT_EQ(recorder->currentTime(), atPause);
        EXPECT_EQ(std::stoi(streams()) - std::stoi(others), letGo ? 0 : 1);
        const auto resumed = std::chrono::steady_clock::now();
        ASSERT_TRUE(recorder->record());
        EXPECT_EQ(std::stoi(streams()) - std::stoi(others), 1);
        std::this_thread::sleep_for(700ms);
        const auto stopped = std::chrono::steady_clock::now();
        EXPECT_TRUE(recorder->waitUntilSaved());

        const auto seconds = [](auto duration) { return std::chrono::duration<double>(duration).count(); };
        const double expected = seconds(paused - start) + seconds(stopped - resumed);
        const double missing = expected - static_cast<double>(readSoundFile(path).samples.size()) / 48000;
        std::fprintf(stderr, "%s: %.0f ms missing\n", letGo ? "long pause" : "short pause", missing * 1000);
        EXPECT_LT(missing, letGo ? 0.4 : 0.15);
        EXPECT_GT(missing, -0.08) << "nothing from the pause";
    }
}

// Another default microphone chosen meanwhile is no unplug. Unplugged, the microphone leaves the
// system's list and the default goes to the one left: Qt 6.8 sees the list change only then.
TEST_F(QtCapture, UnloadingTheMicrophoneEndsTheRecordingWithFailed)
{
    const std::string module = addMicrophone("vmic", 440);
    setDefaultSource("vmic");
    TempDir dir;
    const QString path = dir.file("unplugged.caf");
    TranslatableText error;
    auto recorder = AudioRecorder::create(path, atRate(48000), openFlowing(48000), &error);
    ASSERT_TRUE(recorder) << error.english().toStdString();
    FailedSpy spy(*recorder);
    ASSERT_TRUE(recorder->record());
    addMicrophone("builtin", 0);
    setDefaultSource("builtin");
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(spy.reasons(), std::vector<QString>{}) << "another default microphone taken for an unplug";
    setDefaultSource("vmic");
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(run("pactl unload-module " + module).status, 0);
    std::erase(modules_, module);

    ASSERT_TRUE(spy.waitForFailure(3s)) << "the recording went on without its microphone";
    EXPECT_EQ(spy.reasons(), std::vector<QString>{QStringLiteral("The microphone was disconnected.")});
    recorder->waitUntilSaved();
    const SoundFile file = readSoundFile(path);
    ASSERT_TRUE(file.opened);
    EXPECT_GT(file.samples.size(), 48000u * 4 / 10);
}
