// The PulseAudio input against a real PulseAudio server: a private one (PrivatePulseServer.h), or
// none, or one that never answers.

#include "platform/capture/pulse/PulseAudioInput.h"
#include "PrivatePulseServer.h"
#include "fakes/FakeChoices.h"
#include "recording/RecordingController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <mutex>

using namespace enginetest;
using namespace std::chrono_literals;

namespace {

// Opens the default source and waits until its audio flows, as the panel opens the microphone
// before showing the save dialog, and lets it run for a moment as the dialog would. (Virtual
// microphones start unevenly: a null sink's monitor a second or so late, a null source with a
// burst of what it "captured" before the stream existed.)
std::unique_ptr<platform::PulseAudioInput>
openFlowing(int rate, std::chrono::milliseconds releaseAfter = platform::PulseAudioInput::defaultRelease)
{
    auto input =
        std::make_unique<platform::PulseAudioInput>(platform::PulseAudioInput::defaultFragment, releaseAfter);
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
    EXPECT_GT(counter.frames, 0u) << "no audio from the default source";
    std::this_thread::sleep_for(600ms);
    input->setSink(nullptr);
    return input;
}

} // namespace

TEST(PulseAudioInputOpen, FailsAtOnceWithoutASoundServer)
{
    TempDir dir;
    ScopedEnvironment environment;
    environment.set("PULSE_SERVER", "unix:" + (dir.path() / "no-server").string());
    platform::PulseAudioInput input;
    TranslatableText error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(input.open(48000, &error));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_TRUE(error.english().contains(QStringLiteral("No microphone found")))
        << error.english().toStdString();
    EXPECT_FALSE(input.isOpen());
    input.close();
}

// A socket that takes connections into its backlog and never says a word: a sound server that
// is stopped (SIGSTOP) looks the same to its clients.
class SilentServer {
public:
    explicit SilentServer(const std::filesystem::path &folder)
        : path_((folder / "silent").string()), listener_(socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path_.c_str());
        listening_ = listener_ >= 0 &&
                     bind(listener_, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
                     listen(listener_, 4) == 0;
        environment_.set("PULSE_SERVER", "unix:" + path_);
    }
    ~SilentServer()
    {
        if (listener_ >= 0)
            close(listener_);
    }
    bool listening() const { return listening_; }

private:
    std::string path_;
    int listener_;
    bool listening_ = false;
    ScopedEnvironment environment_;
};

TEST(PulseAudioInputOpen, GivesUpOnAServerThatNeverAnswers)
{
    TempDir dir;
    SilentServer server(dir.path());
    ASSERT_TRUE(server.listening());
    platform::PulseAudioInput input;
    TranslatableText error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(input.open(48000, &error));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 4s);
    EXPECT_TRUE(error.english().contains(QStringLiteral("does not answer"))) << error.english().toStdString();
}

// The Record press and the confirmation of the dialog, with a sound server that never answers:
// the UI thread waits a moment at most, and the panel says it waits, then why nothing started.
TEST(PulseAudioInputOpen, TheRecorderKeepsItsEventLoopTurningWhileTheServerDoesNotAnswer)
{
    TempDir dir;
    SilentServer server(dir.path());
    ASSERT_TRUE(server.listening());
    int argc = 1;
    char name[] = "engine_tests";
    char *argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    FakeSaveDialog dialog;
    dialog.holdOpen = true;
    TestPreferences preferences;
    RecordingController controller(
        {dialog, preferences, platform::makeSystemAudioInput,
         [](const QString &path, SampleRate rate, std::unique_ptr<platform::AudioInput> input,
            TranslatableText *error) -> std::unique_ptr<Recorder> {
             return AudioRecorder::create(path, rate, std::move(input), error);
         }});
    std::vector<QString> messages;
    QObject::connect(&controller, &RecordingController::messageChanged,
                     [&messages](const QString &text) { messages.push_back(text); });

    // The longest time the event loop went without a turn, from the Record press to its outcome.
    QElapsedTimer sinceTurn;
    qint64 longest = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] { longest = std::max(longest, sinceTurn.restart()); });
    beat.start(10);
    sinceTurn.start();
    QElapsedTimer took;
    took.start();
    controller.clickRecord();
    longest = std::max(longest, sinceTurn.elapsed());
    // The user confirms a moment later.
    QTimer::singleShot(300, [&] { dialog.finish({platform::SaveDialog::OK, dir.file("take.caf")}); });
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (!dialog.isOpen() && !controller.choosingWhereToSave())
            loop.quit();
    });
    look.start(10);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    std::printf("the event loop's longest wait: %lld ms, in %lld ms from the Record press to its outcome\n",
                static_cast<long long>(longest), static_cast<long long>(took.elapsed()));

    EXPECT_LT(longest, 1000);
    EXPECT_EQ(controller.state(), RecordingController::State::Ready);
    EXPECT_FALSE(controller.choosingWhereToSave());
    EXPECT_NE(std::find(messages.begin(), messages.end(), QStringLiteral("Waiting for the sound server…")),
              messages.end());
    EXPECT_EQ(
        controller.message(),
        QStringLiteral("Could not start recording: No microphone found: the sound server does not answer."));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "take.caf"));
}

class PulseCapture : public PrivatePulseServer {
protected:
    // Records `duration` from the default source into `path`.
    static void recordFor(const QString &path, int rate, std::chrono::milliseconds duration,
                          std::string *sourceName = nullptr)
    {
        auto input = openFlowing(rate);
        platform::PulseAudioInput *raw = input.get();
        TranslatableText error;
        auto recorder = AudioRecorder::create(path, atRate(rate), std::move(input), &error);
        ASSERT_TRUE(recorder) << error.english().toStdString();
        if (sourceName)
            *sourceName = raw->sourceName();
        ASSERT_TRUE(recorder->record());
        std::this_thread::sleep_for(duration);
        recorder->waitUntilSaved();
    }
};

TEST_F(PulseCapture, NoMicrophoneWhenTheServerHasNoSourceOrOnlyAnOutputsMonitor)
{
    platform::PulseAudioInput input;
    TranslatableText error;
    EXPECT_FALSE(input.open(48000, &error));
    EXPECT_EQ(error.english(), QStringLiteral("No microphone found."));

    loadModule("module-null-sink sink_name=speakers");
    error = {};
    EXPECT_FALSE(input.open(48000, &error));
    EXPECT_EQ(error.english(), QStringLiteral("No microphone found."));
}

TEST_F(PulseCapture, RecordsTheToneOfTheDefaultSourceAndFollowsItsChange)
{
    addMicrophone("vmic_a", 440);
    addMicrophone("vmic_b", 1000);
    TempDir dir;

    setDefaultSource("vmic_b");
    const QString first = dir.file("b.caf");
    std::string source;
    recordFor(first, 48000, 1200ms, &source);
    EXPECT_EQ(source, "vmic_b");
    const SoundFile b = readSoundFile(first);
    ASSERT_TRUE(b.opened);
    EXPECT_GT(b.samples.size(), 48000u);
    EXPECT_GT(rms(b.samples), 0.2) << "the tone, not silence";
    EXPECT_NEAR(toneFrequency(b.samples, 48000), 1000, 5);
    const Probe probe = ffprobe(first);
    EXPECT_EQ(probe.codec, "pcm_s16le");
    EXPECT_EQ(probe.rate, 48000);
    EXPECT_EQ(probe.channels, 1);

    setDefaultSource("vmic_a");
    const QString second = dir.file("a.caf");
    recordFor(second, 12000, 1200ms, &source);
    EXPECT_EQ(source, "vmic_a");
    const SoundFile a = readSoundFile(second);
    ASSERT_TRUE(a.opened);
    EXPECT_EQ(a.rate, 12000);
    EXPECT_GT(a.samples.size(), 12000u);
    EXPECT_GT(rms(a.samples), 0.2);
    EXPECT_NEAR(toneFrequency(a.samples, 12000), 440, 5);
}

TEST_F(PulseCapture, ADefaultChosenAfterTheInputOpenedIsTheOneRecorded)
{
    addMicrophone("vmic_a", 440);
    addMicrophone("vmic_b", 1000);
    TempDir dir;
    setDefaultSource("vmic_a");
    auto input = openFlowing(24000); // opened before the save dialog
    platform::PulseAudioInput *raw = input.get();
    EXPECT_TRUE(raw->isDefaultInput());
    setDefaultSource("vmic_b"); // chosen while the dialog is up
    std::this_thread::sleep_for(1000ms);
    // The server moves the open stream along (PulseAudio 15 on), or the recorder reopens it.
    EXPECT_EQ(raw->isDefaultInput(), raw->sourceName() == "vmic_b");

    const QString path = dir.file("switched.caf");
    TranslatableText error;
    auto recorder = AudioRecorder::create(path, atRate(24000), std::move(input), &error);
    ASSERT_TRUE(recorder) << error.english().toStdString();
    EXPECT_EQ(raw->sourceName(), "vmic_b");
    ASSERT_TRUE(recorder->record());
    std::this_thread::sleep_for(1200ms);
    recorder->waitUntilSaved();
    const SoundFile file = readSoundFile(path);
    ASSERT_TRUE(file.opened);
    EXPECT_GT(file.samples.size(), 24000u);
    EXPECT_NEAR(toneFrequency(file.samples, 24000), 1000, 5);
}

TEST_F(PulseCapture, PausingHoldsTheCaptureAndStopKeepsEverythingCaptured)
{
    addMicrophone("vmic", 440);
    setDefaultSource("vmic");
    TempDir dir;
    const QString path = dir.file("paused.caf");
    auto input = openFlowing(24000);
    platform::PulseAudioInput *raw = input.get();
    TranslatableText error;
    auto recorder = AudioRecorder::create(path, atRate(24000), std::move(input), &error);
    ASSERT_TRUE(recorder) << error.english().toStdString();

    // What arrives while the save dialog would be up is not recorded.
    std::this_thread::sleep_for(600ms);
    EXPECT_EQ(recorder->currentTime(), 0.0);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(recorder->record());
    std::this_thread::sleep_for(700ms);
    recorder->pause();
    const double atPause = recorder->currentTime();
    EXPECT_GT(atPause, 0.4);
    std::this_thread::sleep_for(700ms);
    EXPECT_DOUBLE_EQ(recorder->currentTime(), atPause);
    ASSERT_TRUE(recorder->record());
    std::this_thread::sleep_for(700ms);
    recorder->waitUntilSaved();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const platform::PulseAudioInput::DrainFigures drained = raw->lastDrain();
    std::fprintf(stderr, "drain at stop: %.1f ms held by the server, %.1f ms not delivered, waited %.1f ms\n",
                 drained.heldMs, drained.leftMs, drained.waitedMs);

    const SoundFile file = readSoundFile(path);
    ASSERT_TRUE(file.opened);
    const double seconds = static_cast<double>(file.samples.size()) / 24000;
    EXPECT_DOUBLE_EQ(recorder->currentTime(), seconds);
    // Two stretches of 0.7 s, the pause left out.
    EXPECT_GT(seconds, 1.4 - 0.3);
    EXPECT_LT(seconds, wall - 0.7 + 0.3);
    EXPECT_GT(rms(file.samples), 0.2);
}

TEST_F(PulseCapture, UnloadingTheMicrophoneEndsTheRecordingWithFailed)
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
    std::this_thread::sleep_for(800ms);
    ASSERT_EQ(run("pactl unload-module " + module).status, 0);
    std::erase(modules_, module);

    ASSERT_TRUE(spy.waitForFailure(3s)) << "the recording went on without its microphone";
    EXPECT_EQ(spy.reasons(), std::vector<QString>{QStringLiteral("The microphone was disconnected.")});
    EXPECT_FALSE(recorder->isRecording());
    recorder->waitUntilSaved();
    EXPECT_EQ(spy.reasons().size(), 1u);

    const SoundFile file = readSoundFile(path);
    ASSERT_TRUE(file.opened);
    EXPECT_GT(file.samples.size(), 48000u * 4 / 10);
    EXPECT_DOUBLE_EQ(recorder->currentTime(), static_cast<double>(file.samples.size()) / 48000);
    EXPECT_TRUE(ffprobe(path).ok);
}

TEST_F(PulseCapture, TheFileHoldsWhatWasCapturedFromRecordToStop)
{
    // A null source hands over audio the way a sound card does: what it captured since it last
    // woke up, at the latency its clients ask for. The server holds up to a fragment of it at
    // any moment, which stop() must fetch rather than lose.
    loadModule("module-null-source source_name=quiet rate=48000 channels=1");
    setDefaultSource("quiet");
    TempDir dir;
    for (const auto length : {700ms, 810ms, 930ms}) {
        SCOPED_TRACE(length.count());
        const QString path = dir.file("length.caf");
        TranslatableText error;
        auto recorder = AudioRecorder::create(path, atRate(48000), openFlowing(48000), &error);
        ASSERT_TRUE(recorder) << error.english().toStdString();
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(recorder->record());
        std::this_thread::sleep_until(start + length);
        const auto stopCalled = std::chrono::steady_clock::now();
        recorder->waitUntilSaved();
        const auto stopped = std::chrono::steady_clock::now();

        const double seconds = static_cast<double>(readSoundFile(path).samples.size()) / 48000;
        EXPECT_GT(seconds, std::chrono::duration<double>(stopCalled - start).count() - 0.03);
        EXPECT_LT(seconds, std::chrono::duration<double>(stopped - start).count() + 0.03);
        // Stop fetches what the server still holds (at most a fragment) and syncs: it must not
        // hang. How fast it is, is the benchmark's figure.
        EXPECT_LT(stopped - stopCalled, 2s);
    }
}

TEST_F(PulseCapture, ALongPauseLetsTheMicrophoneGoAndTheResumeKeepsWhatFollows)
{
    // A virtual microphone read by a tap that asks for 20 ms pieces, as a sound card hands them
    // over. (A null source would make up audio for the time it had no reader.)
    addMicrophone("vmic", 440);
    setDefaultSource("vmic");
    players_.push_back(
        spawn({"parecord", "--latency-msec=20", "-d", "vmic", "--file-format=wav", "/dev/null"}));
    const auto streams = [] {
        return run("pactl list source-outputs | grep -c 'application.name = \"Registratore\"'").output;
    };
    TempDir dir;
    // A hold lets the stream go after a second here, as after ten seconds in the app.
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
        std::this_thread::sleep_for(pause);
        EXPECT_EQ(streams(), letGo ? "0" : "1")
            << "a capture stream keeps the desktop's microphone indicator on";
        const auto resumed = std::chrono::steady_clock::now();
        ASSERT_TRUE(recorder->record());
        EXPECT_EQ(streams(), "1");
        std::this_thread::sleep_for(700ms);
        const auto stopped = std::chrono::steady_clock::now();
        EXPECT_TRUE(recorder->waitUntilSaved());

        const auto seconds = [](auto duration) { return std::chrono::duration<double>(duration).count(); };
        const double expected = seconds(paused - start) + seconds(stopped - resumed);
        const double missing = expected - static_cast<double>(readSoundFile(path).samples.size()) / 48000;
        std::fprintf(stderr, "%s: %.0f ms missing\n", letGo ? "long pause" : "short pause", missing * 1000);
        EXPECT_LT(missing, letGo ? 0.3 : 0.1);
        EXPECT_GT(missing, -0.05) << "nothing from the pause";
    }
}

// A sound server that stops answering (SIGSTOP, as a hung one) while a recording runs: pause,
// resume after the microphone was let go, and stop each return at once, and once the server
// answers again the file holds what was captured.
TEST_F(PulseCapture, AServerThatStopsAnsweringHoldsUpNeitherPauseNorResumeNorStop)
{
    addMicrophone("vmic", 440);
    setDefaultSource("vmic");
    TempDir dir;
    const QString path = dir.file("hung.caf");
    TranslatableText error;
    auto recorder = AudioRecorder::create(path, atRate(24000), openFlowing(24000, 300ms), &error);
    ASSERT_TRUE(recorder) << error.english().toStdString();
    ASSERT_TRUE(recorder->record());
    std::this_thread::sleep_for(700ms);

    ASSERT_EQ(kill(server_, SIGSTOP), 0);
    std::map<std::string, double> waitedMs;
    const auto timed = [&](const char *what, auto call) {
        const auto start = std::chrono::steady_clock::now();
        call();
        waitedMs[what] =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    timed("pause", [&] { recorder->pause(); });
    std::this_thread::sleep_for(1200ms); // past the release: the resume opens the microphone again
    timed("resume", [&] { recorder->record(); });
    timed("stop", [&] { recorder->stop(); });
    for (const auto &[what, ms] : waitedMs)
        std::fprintf(stderr, "%s waited %.0f ms for a server that does not answer\n", what.c_str(), ms);
    // Before, the UI thread waited 400 ms at a pause and 3 s at a resume.
    EXPECT_LT(waitedMs["pause"] + waitedMs["resume"] + waitedMs["stop"], 1000);

    kill(server_, SIGCONT);
    recorder->waitUntilSaved();
    const SoundFile file = readSoundFile(path);
    ASSERT_TRUE(file.opened);
    EXPECT_GT(file.samples.size(), 24000u / 2);
    EXPECT_NEAR(toneFrequency(file.samples, 24000), 440, 5);
}

// What the input hands a sink while its sound server goes away and maybe comes back.
class OutageSink final : public platform::AudioSink {
public:
    void audioCaptured(std::span<const std::int16_t> samples) override { frames += samples.size(); }
    void inputLost(const TranslatableText &reason) override
    {
        std::lock_guard lock(mutex_);
        lost_ = reason.english().toStdString();
    }
    void audioMissing(std::int64_t count) override
    {
        // Told before the first audio of the new server.
        EXPECT_EQ(frames - framesAtKill, 0u);
        missing += count;
        ++gaps;
    }
    std::string lost()
    {
        std::lock_guard lock(mutex_);
        return lost_;
    }
    std::atomic<std::size_t> frames{0};
    std::atomic<std::size_t> framesAtKill{0};
    std::atomic<std::int64_t> missing{0};
    std::atomic<int> gaps{0};

private:
    std::mutex mutex_;
    std::string lost_;
};

TEST_F(PulseCapture, CaptureOutlivesARestartOfTheSoundServerButNotItsDeparture)
{
    struct Case {
        const char *name;
        bool restart;
        bool heldDuringOutage;
    };
    for (const Case &test : {Case{"restarted", true, false}, Case{"restarted while paused", true, true},
                             Case{"gone for good", false, false}}) {
        SCOPED_TRACE(test.name);
        const auto addQuietMicrophone = [&] {
            loadModule("module-null-source source_name=quiet rate=48000 channels=1");
            setDefaultSource("quiet");
        };
        addQuietMicrophone();
        auto input = openFlowing(24000);
        OutageSink sink;
        input->setSink(&sink);
        ASSERT_TRUE(waitFor(2s, [&] { return sink.frames > 0; }));
        const auto flowing = std::chrono::steady_clock::now();
        input->setHeld(test.heldDuringOutage);
        std::this_thread::sleep_for(300ms);

        sink.framesAtKill = sink.frames.load();
        const auto killed = std::chrono::steady_clock::now();
        kill(server_, SIGKILL);
        waitpid(server_, nullptr, 0);
        server_ = 0;
        modules_.clear();
        std::this_thread::sleep_for(300ms);
        const auto drainStart = std::chrono::steady_clock::now();
        input->drain();
        EXPECT_LT(std::chrono::steady_clock::now() - drainStart, 100ms) << "drain() without a server";
        EXPECT_EQ(sink.frames, sink.framesAtKill);

        if (!test.restart) {
            ASSERT_TRUE(waitFor(14s, [&] { return !sink.lost().empty(); }));
            const double after =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - killed).count();
            EXPECT_NEAR(after, 10, 1.5);
            EXPECT_EQ(sink.lost(), "The sound server stopped.");
            EXPECT_FALSE(input->isOpen());
            input.reset();
            ASSERT_TRUE(startServer()) << "the next tests need a server";
            continue;
        }
        std::this_thread::sleep_for(1s);
        ASSERT_TRUE(startServer());
        addQuietMicrophone();
        if (test.heldDuringOutage) {
            std::this_thread::sleep_for(3s); // reconnected meanwhile, still held
            EXPECT_EQ(sink.frames, sink.framesAtKill);
            input->setHeld(false);
        }
        ASSERT_TRUE(waitFor(5s, [&] { return sink.frames > sink.framesAtKill + 24000; }))
            << "capture did not resume";
        const double gap = std::chrono::duration<double>(std::chrono::steady_clock::now() - killed).count();
        EXPECT_EQ(sink.lost(), "");
        EXPECT_TRUE(input->isOpen());
        EXPECT_EQ(input->sourceName(), "quiet");
        std::fprintf(stderr, "%s: %.2f s missing, %.2f s from the kill to a second of new audio\n", test.name,
                     static_cast<double>(sink.missing) / 24000, gap);
        if (test.heldDuringOutage) {
            EXPECT_EQ(sink.gaps, 0) << "a paused recording misses nothing";
        } else {
            EXPECT_EQ(sink.gaps, 1);
            EXPECT_GT(sink.missing, 24000 * 1.3); // the server was away for at least 1.3 s
            // What arrived and what was missing add up to the time captured.
            const double flowed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - flowing).count();
            EXPECT_NEAR(static_cast<double>(sink.frames + sink.missing) / 24000, flowed, 0.6);
        }
        input.reset();
        for (const std::string &module : modules_)
            run("pactl unload-module " + module);
        modules_.clear();
    }
}

TEST_F(PulseCapture, AMovedRecordingGoesOnFromAnotherMicrophoneButNotFromAnOutputsMonitor)
{
    const std::string first = addMicrophone("vmic_a", 440);
    addMicrophone("vmic_b", 1000, "Second_Mic");
    TempDir dir;
    // Moved by the user to the other microphone or to an output's monitor, and by the server when
    // the microphone recorded is unplugged (the last case: it stays unplugged).
    enum Move { ToMicrophone, ToMonitor, Unplugged };
    for (const Move move : {ToMicrophone, ToMonitor, Unplugged}) {
        SCOPED_TRACE(move);
        const bool toMonitor = move == ToMonitor;
        setDefaultSource("vmic_a");
        const QString path = dir.file("moved.caf");
        TranslatableText error;
        auto recorder = AudioRecorder::create(path, atRate(48000), openFlowing(48000), &error);
        ASSERT_TRUE(recorder) << error.english().toStdString();
        FailedSpy failed(*recorder);
        std::vector<QString> names;
        std::mutex mutex;
        QObject::connect(
            recorder.get(), &Recorder::inputChanged, recorder.get(),
            [&](const QString &name) {
                std::lock_guard lock(mutex);
                names.push_back(name);
            },
            Qt::DirectConnection);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(recorder->record());
        std::this_thread::sleep_for(1000ms);
        const double beforeMove =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const std::string output =
            run("pactl list short source-outputs | awk '$4 ~ /native/ {print $1}'").output;
        ASSERT_FALSE(output.empty());
        const CommandResult moved = move == Unplugged ? run("pactl unload-module " + first)
                                                      : run("pactl move-source-output " + output +
                                                            (toMonitor ? " vmic_b_sink.monitor" : " vmic_b"));
        ASSERT_EQ(moved.status, 0) << moved.output;
        if (move == Unplugged)
            std::erase(modules_, first);
        if (toMonitor) {
            ASSERT_TRUE(failed.waitForFailure(3s)) << "the recording went on from what the computer plays";
            EXPECT_EQ(failed.reasons(),
                      std::vector<QString>{QStringLiteral("The microphone was disconnected.")});
        } else {
            std::this_thread::sleep_for(1200ms);
            EXPECT_TRUE(failed.reasons().empty());
        }
        recorder->waitUntilSaved();
        {
            std::lock_guard lock(mutex);
            EXPECT_EQ(names, toMonitor ? std::vector<QString>{} : std::vector<QString>{"Second_Mic"});
        }
        const SoundFile file = readSoundFile(path);
        ASSERT_TRUE(file.opened);
        ASSERT_GT(file.samples.size(), static_cast<size_t>(48000 * (beforeMove - 0.05)));
        const std::vector<std::int16_t> first(file.samples.begin(), file.samples.begin() + 48000 * 9 / 10);
        EXPECT_NEAR(toneFrequency(first, 48000), 440, 5);
        const std::vector<std::int16_t> last(file.samples.end() - 48000 / 2, file.samples.end());
        if (toMonitor)
            EXPECT_NEAR(toneFrequency(last, 48000), 440, 5) << "nothing of the monitor";
        else
            EXPECT_NEAR(toneFrequency(last, 48000), 1000, 5);
    }
}
