// The recorder engine on a disk that stalls or fails. The program runs itself again with
// libfiu's POSIX preload (to fail system calls on the writer thread) and our stall shim. Under
// ThreadSanitizer libfiu crashes the process (its preload at the start, the library itself at
// its first call): only the shim is preloaded there, and the tests that fail system calls are
// skipped.

#include "engine/EngineTestSupport.h"
#include "fakes/FakeAudioInput.h"
#include "fakes/FakeChoices.h"
#include "recording/RecordingController.h"

#include <fiu-control.h>
#include <fiu.h>

#include <gtest/gtest.h>

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>

#include <fstream>
#include <functional>
#include <optional>

using namespace enginetest;
using namespace std::chrono_literals;

namespace {

#if defined(__SANITIZE_THREAD__)
#define REGISTRATORE_UNDER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define REGISTRATORE_UNDER_TSAN 1
#endif
#endif
#ifdef REGISTRATORE_UNDER_TSAN
constexpr bool kUnderThreadSanitizer = true;
#else
constexpr bool kUnderThreadSanitizer = false;
#endif
constexpr bool kFailuresInjectable = !kUnderThreadSanitizer;
#define SKIP_WITHOUT_FAILURE_INJECTION()                                                                     \
    if (!kFailuresInjectable) {                                                                              \
        GTEST_SKIP() << "libfiu does not run under ThreadSanitizer";                                         \
    }

constexpr int kRate = 48000;
constexpr double kPace = 10; // the fake microphone runs ten times faster than real time

std::atomic<pid_t> testThread{0};

bool onWriterThread()
{
    return static_cast<pid_t>(syscall(SYS_gettid)) != testThread.load();
}

// On the writer thread, audio is appended with write() and the header rewritten in place with
// pwrite().
int failOnWriter(const char *, int *, void **, unsigned int *)
{
    return onWriterThread();
}

class StorageFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (kFailuresInjectable) {
            ASSERT_EQ(fiu_init(0), 0);
        }
        testThread = static_cast<pid_t>(syscall(SYS_gettid));
    }
    void TearDown() override
    {
        if (kFailuresInjectable) {
            fiu_disable("posix/io/rw/write");
            fiu_disable("posix/io/rw/pwrite");
            fiu_disable("posix/io/sync/fdatasync");
            fiu_disable("posix/io/oc/close");
        }
        std::filesystem::remove(stallControl());
    }

    // `beforeRecord` connects what must be listening before the writer can emit anything.
    bool start(AudioRecorder::Options options = {}, const std::function<void(Recorder &)> &beforeRecord = {})
    {
        auto fake = std::make_unique<FakeAudioInput>();
        input = fake.get();
        TranslatableText error;
        recorder = AudioRecorder::create(path, atRate(kRate), std::move(fake), &error, options);
        if (!recorder) {
            ADD_FAILURE() << error.english().toStdString();
            return false;
        }
        failures = std::make_unique<FailedSpy>(*recorder);
        QObject::connect(
            recorder.get(), &Recorder::audioMissing, recorder.get(),
            [this](double seconds, double at) {
                std::lock_guard lock(gapMutex);
                gaps.emplace_back(seconds, at);
            },
            Qt::DirectConnection);
        QObject::connect(
            recorder.get(), &Recorder::failed, recorder.get(),
            [this](const TranslatableText &, bool s) { saved = s; }, Qt::DirectConnection);
        if (beforeRecord)
            beforeRecord(*recorder);
        recorder->record();
        input->start(FakeAudioInput::counter(), 20ms, kPace);
        return true;
    }
    // Waits for the file to take its name: its first audio is on disk.
    void waitForFile()
    {
        for (int i = 0; i < 200 && !std::filesystem::exists(path.toStdString()); ++i)
            std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(std::filesystem::exists(path.toStdString()));
    }
    // While this file exists, writes into the test's folders wait (the stall shim).
    static std::string stallControl() { return std::getenv("REGISTRATORE_STALL_CONTROL"); }
    void stallFor(std::chrono::milliseconds wall)
    {
        std::ofstream(stallControl()).put('x');
        std::this_thread::sleep_for(wall);
        std::filesystem::remove(stallControl());
    }
    // The file holds the count from 0 without a break, exactly as many frames as the recorder says.
    void expectWholeCount(std::size_t atLeast)
    {
        const SoundFile file = readSoundFile(path);
        ASSERT_TRUE(file.opened);
        EXPECT_GE(file.samples.size(), atLeast);
        EXPECT_EQ(file.samples.size(),
                  static_cast<std::size_t>(std::llround(recorder->currentTime() * kRate)));
        ASSERT_FALSE(file.samples.empty());
        EXPECT_EQ(file.samples.front(), 0);
        EXPECT_EQ(firstBreakInCount(file.samples), file.samples.size());
        const Probe probe = ffprobe(path);
        EXPECT_TRUE(probe.ok) << probe.output;
    }

    TempDir dir;
    QString path = dir.file("take.caf");
    std::unique_ptr<AudioRecorder> recorder;
    FakeAudioInput *input = nullptr;
    std::unique_ptr<FailedSpy> failures;
    std::mutex gapMutex;
    std::vector<std::pair<double, double>> gaps;
    std::atomic<bool> saved{false};
};

} // namespace

TEST_F(StorageFaults, AStallWithinTheBufferLosesNothing)
{
    ASSERT_TRUE(start());
    std::this_thread::sleep_for(500ms);
    stallFor(2000ms); // twenty seconds of audio
    const double duringStall = recorder->currentTime();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(recorder->waitUntilSaved());
    EXPECT_GE(duringStall, 20.0) << "the time runs on while the disk stalls";
    expectWholeCount(kRate * 25);
    EXPECT_TRUE(gaps.empty());
    EXPECT_TRUE(failures->reasons().empty());
}

TEST_F(StorageFaults, AStallPastTheBufferKeepsRecordingAndReportsTheGapOnce)
{
    if (kUnderThreadSanitizer) {
        GTEST_SKIP() << "under ThreadSanitizer the writer is too slow for a buffer of 0.2 s of wall time: "
                        "it overflows without the stall";
    }
    ASSERT_TRUE(start({.bufferFrames = kRate * 2}));
    std::this_thread::sleep_for(300ms);
    stallFor(1000ms); // ten seconds of audio, two of which fit
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(recorder->waitUntilSaved());
    input->stopCapture();

    const SoundFile file = readSoundFile(path);
    ASSERT_TRUE(file.opened);
    std::lock_guard lock(gapMutex);
    ASSERT_EQ(gaps.size(), 1u);
    const auto [seconds, at] = gaps[0];
    EXPECT_GT(seconds, 5.0);
    const auto gapAt = static_cast<std::size_t>(std::llround(at * kRate));
    const auto gapFrames = static_cast<std::int64_t>(std::llround(seconds * kRate));
    EXPECT_EQ(firstBreakInCount(file.samples), gapAt);
    ASSERT_LT(gapAt, file.samples.size());
    EXPECT_EQ(static_cast<std::uint16_t>(file.samples[gapAt] - file.samples[gapAt - 1] - 1),
              static_cast<std::uint16_t>(gapFrames));
    EXPECT_EQ(firstBreakInCount(file.samples, gapAt + 1), file.samples.size());
    // The count's last value tells how many frames were captured: all in the file or in the gap.
    EXPECT_EQ(static_cast<std::uint16_t>(file.samples.back() + 1),
              static_cast<std::uint16_t>(static_cast<std::int64_t>(file.samples.size()) + gapFrames));
}

namespace {

// Runs the event loop for `wall`, as the application would between the user's clicks.
void pump(std::chrono::milliseconds wall)
{
    const auto until = std::chrono::steady_clock::now() + wall;
    while (std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(5ms);
    }
}

} // namespace

TEST_F(StorageFaults, StopStartAndPauseDuringAStallAnswerAtOnceAndTheFilesCatchUpExactly)
{
    FakeSaveDialog dialog;
    TestPreferences preferences;
    std::vector<FakeAudioInput *> inputs;
    RecordingController controller(
        {dialog, preferences,
         [&inputs] {
             auto input = std::make_unique<FakeAudioInput>();
             inputs.push_back(input.get());
             return input;
         },
         [](const QString &path, SampleRate rate, std::unique_ptr<platform::AudioInput> input,
            TranslatableText *error) -> std::unique_ptr<Recorder> {
             return AudioRecorder::create(path, rate, std::move(input), error);
         }});
    preferences.setValue(QStringLiteral("qualitaAudio"), 2); // 48 kHz
    const QString second = dir.file("second.caf");
    dialog.answer = {platform::SaveDialog::OK, path};
    controller.clickRecord();
    ASSERT_EQ(controller.state(), RecordingController::State::Recording);
    inputs[0]->start(FakeAudioInput::counter(), 20ms, kPace);
    pump(500ms);

    // A stall a stuck controller would never see the end of: this thread ends it late, and
    // everything below must happen before that.
    std::ofstream(stallControl()).put('x');
    std::atomic<bool> done{false};
    std::thread release([&done] {
        for (int i = 0; i < 150 && !done; ++i)
            std::this_thread::sleep_for(100ms);
        std::filesystem::remove(stallControl());
    });
    const auto stalled = [] { return std::filesystem::exists(stallControl()); };
    pump(300ms);
    const std::uint64_t capturedBeforeStop = inputs[0]->deliveredFrames();
    controller.stop();
    const std::uint64_t capturedAtStop = inputs[0]->deliveredFrames();
    EXPECT_EQ(controller.state(), RecordingController::State::Ready);
    pump(300ms);
    EXPECT_TRUE(controller.saving().announced());
    EXPECT_GE(controller.saving().secondsToSave(), 0.2);
    // A new recording into the same stalled folder, and its pause.
    dialog.answer.path = second;
    controller.clickRecord();
    ASSERT_EQ(controller.state(), RecordingController::State::Recording);
    inputs[1]->start(FakeAudioInput::counter(), 20ms, kPace);
    pump(300ms);
    controller.clickRecord();
    EXPECT_EQ(controller.state(), RecordingController::State::Paused);
    EXPECT_TRUE(stalled()) << "the controller waited for the disk";
    EXPECT_FALSE(std::filesystem::exists(second.toStdString())) << "no audio can have reached the disk";

    done = true;
    release.join();
    controller.stop();
    for (int i = 0; i < 500 && !controller.saving().isEmpty(); ++i)
        pump(20ms);
    ASSERT_TRUE(controller.saving().isEmpty());
    EXPECT_FALSE(controller.saving().announced());
    EXPECT_EQ(controller.message(), QString());
    for (const QString &file : {path, second}) {
        SCOPED_TRACE(file.toStdString());
        const SoundFile sound = readSoundFile(file);
        ASSERT_TRUE(sound.opened);
        ASSERT_FALSE(sound.samples.empty());
        EXPECT_EQ(sound.samples.front(), 0);
        EXPECT_EQ(firstBreakInCount(sound.samples), sound.samples.size());
    }
    const std::size_t first = readSoundFile(path).samples.size();
    EXPECT_GE(first, capturedBeforeStop);
    EXPECT_LE(first, capturedAtStop);
}

TEST_F(StorageFaults, AFailedWriteSyncOrCloseEndsTheRecordingWithAPlayableFileAndTheSystemsReason)
{
    SKIP_WITHOUT_FAILURE_INJECTION();
    enum class When { Recording, Pause, Stop };
    struct Case {
        const char *name;
        const char *point;
        external_cb_t *filter;
        When when;
    };
    const Case cases[] = {
        {"header rewrite", "posix/io/rw/pwrite", failOnWriter, When::Recording},
        {"audio write", "posix/io/rw/write", failOnWriter, When::Recording},
        {"sync at pause", "posix/io/sync/fdatasync", failOnWriter, When::Pause},
        {"close at stop", "posix/io/oc/close", failOnWriter, When::Stop},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        std::filesystem::remove(path.toStdString());
        ASSERT_TRUE(start());
        waitForFile();
        std::this_thread::sleep_for(300ms);
        ASSERT_EQ(fiu_enable_external(c.point, 1, reinterpret_cast<void *>(EIO), FIU_ONETIME, c.filter), 0);
        TranslatableText stopped;
        if (c.when == When::Pause)
            recorder->pause();
        if (c.when == When::Stop) {
            recorder->waitUntilSaved(&stopped);
        } else {
            ASSERT_TRUE(failures->waitForFailure());
            EXPECT_TRUE(saved);
            ASSERT_EQ(failures->reasons().size(), 1u);
            EXPECT_TRUE(failures->reasons()[0].contains(QStringLiteral("Input/output error")))
                << failures->reasons()[0].toStdString();
            EXPECT_FALSE(recorder->record());
            recorder->waitUntilSaved(&stopped);
        }
        fiu_disable(c.point);
        input->stopCapture();
        EXPECT_EQ(stopped.english().contains(QStringLiteral("Input/output error")), c.when == When::Stop)
            << stopped.english().toStdString();
        expectWholeCount(kRate);
        recorder.reset();
    }
}

namespace {

std::string contentsOf(const QString &path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST_F(StorageFaults, AnExistingRecordingIsReplacedOnlyOnceTheNewOneHasAudioOnDisk)
{
    SKIP_WITHOUT_FAILURE_INJECTION();
    const std::string old(10000, '\xab');
    enum class Start { InputLost, HeaderRefused, Succeeds };
    for (const Start how : {Start::InputLost, Start::HeaderRefused, Start::Succeeds}) {
        SCOPED_TRACE(static_cast<int>(how));
        std::ofstream(path.toStdString(), std::ios::binary) << old;
        auto fake = std::make_unique<FakeAudioInput>();
        input = fake.get();
        TranslatableText error;
        recorder = AudioRecorder::create(path, atRate(kRate), std::move(fake), &error);
        ASSERT_TRUE(recorder) << error.english().toStdString();
        failures = std::make_unique<FailedSpy>(*recorder);
        EXPECT_EQ(contentsOf(path), old) << "nothing is written before the recording starts";
        if (how == Start::HeaderRefused) {
            fiu_enable_external("posix/io/rw/pwrite", 1, reinterpret_cast<void *>(EIO), 0, failOnWriter);
        }
        ASSERT_TRUE(recorder->record());
        if (how == Start::InputLost)
            input->loseDevice("The microphone was disconnected.");
        else
            input->push(4800, 5);
        if (how != Start::Succeeds) {
            ASSERT_TRUE(failures->waitForFailure());
            fiu_disable("posix/io/rw/pwrite");
            const QString reason = failures->reasons()[0];
            EXPECT_TRUE(reason.contains(QStringLiteral("previous recording"))) << reason.toStdString();
            EXPECT_TRUE(reason.contains(QStringLiteral("kept"))) << reason.toStdString();
        }
        TranslatableText stopped;
        recorder->waitUntilSaved(&stopped);
        recorder.reset();
        const auto files = std::distance(std::filesystem::directory_iterator(dir.path()), {});
        EXPECT_EQ(files, 1) << "no temporary file is left behind";
        if (how == Start::Succeeds) {
            EXPECT_TRUE(stopped.isEmpty());
            EXPECT_EQ(readSoundFile(path).samples, std::vector<std::int16_t>(4800, 5));
        } else {
            EXPECT_EQ(contentsOf(path), old);
        }
    }
}

TEST_F(StorageFaults, APathThatIsNotARegularFileIsRefusedAtOnce)
{
    const std::string fifo = (dir.path() / "pipe.caf").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() / "folder.caf");
    const struct {
        QString path;
        const char *kind;
    } cases[] = {
        {QString::fromStdString(fifo), "pipe"},
        {QStringLiteral("/dev/null"), "device"},
        {dir.file("folder.caf"), "folder"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.kind);
        const auto before = std::chrono::steady_clock::now();
        TranslatableText error;
        EXPECT_FALSE(AudioRecorder::create(c.path, atRate(kRate), std::make_unique<FakeAudioInput>(), &error,
                                           patientCreation()));
        EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
        EXPECT_TRUE(error.english().contains(c.path) && error.english().contains(QString::fromLatin1(c.kind)))
            << error.english().toStdString();
    }
}

namespace {

// Sets an environment variable for as long as it lives.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const std::string &value) : name_(name)
    {
        if (const char *was = std::getenv(name))
            old_ = was;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char *name_;
    std::optional<std::string> old_;
};

} // namespace

// The chosen name is given at the first audio on disk. What keeps it from being had then (a
// program took the name, the folder went away) moves the recording elsewhere, whole, and says so.
TEST_F(StorageFaults, AudioWhoseNameCannotBeHadAtTheFirstWriteIsKeptWholeElsewhereAndTold)
{
    const std::filesystem::path home = dir.path() / "home";
    std::filesystem::create_directories(home / "Music");
    const ScopedEnv homeEnv("HOME", home.string());
    const ScopedEnv configEnv("XDG_CONFIG_HOME", (home / ".config").string());
    const std::filesystem::path gone = dir.path() / "gone";
    const struct {
        const char *name;
        QString chosen;
        std::function<void()> meanwhile;
        QString keptAt;
        const char *reason;
    } cases[] = {
        {"the name taken", path,
         [this] {
             // Written outside the stalled folder, then moved in: the stall would hold this write.
             const auto other =
                 std::filesystem::temp_directory_path() / ("registratore-taken-" + std::to_string(getpid()));
             std::ofstream(other) << "another program's";
             std::filesystem::rename(other, path.toStdString());
         },
         dir.file("take (2).caf"), "File exists"},
        {"the folder gone", QString::fromStdString((gone / "take.caf").string()),
         [&gone] { std::filesystem::remove_all(gone); },
         QString::fromStdString((home / "Music/take.caf").string()), "No such file or directory"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::create_directories(gone);
        std::ofstream(stallControl()).put('x');
        path = c.chosen;
        std::vector<QString> told;
        std::mutex toldMutex;
        ASSERT_TRUE(start({}, [&](Recorder &started) {
            QObject::connect(
                &started, &Recorder::notice, &started,
                [&](const TranslatableText &text) {
                    std::lock_guard lock(toldMutex);
                    told.push_back(text.english());
                },
                Qt::DirectConnection);
        }));
        std::this_thread::sleep_for(300ms); // three seconds of audio wait for the disk
        c.meanwhile();
        std::filesystem::remove(stallControl());
        std::this_thread::sleep_for(300ms);
        TranslatableText failure;
        EXPECT_TRUE(recorder->waitUntilSaved(&failure)) << failure.english().toStdString();
        input->stopCapture();
        EXPECT_TRUE(failures->reasons().empty()) << failures->reasons().front().toStdString();
        path = c.keptAt;
        expectWholeCount(kRate * 3);
        std::lock_guard lock(toldMutex);
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0], QStringLiteral(
                               "The recording could not be saved as “%1” (%2), so it is being saved as “%3”.")
                               .arg(c.chosen, QString::fromLatin1(c.reason), c.keptAt));
        recorder.reset();
        path = dir.file("take.caf");
    }
    EXPECT_EQ(contentsOf(path), "another program's");
}

#ifdef __SANITIZE_ADDRESS__
extern "C" void __asan_init();
#endif

int main(int argc, char **argv)
{
    if (!std::getenv("REGISTRATORE_STALL_CONTROL")) {
        const std::string control =
            (std::filesystem::temp_directory_path() / ("registratore-stall-" + std::to_string(getpid())))
                .string();
        setenv("REGISTRATORE_STALL_CONTROL", control.c_str(), 1);
        setenv("REGISTRATORE_STALL_PATH", "/registratore-engine-", 1);
        std::string preload =
            kFailuresInjectable ? FIU_POSIX_PRELOAD ":" REGISTRATORE_STALL_SHIM : REGISTRATORE_STALL_SHIM;
#ifdef __SANITIZE_ADDRESS__
        // The sanitizer's runtime must come first, before libfiu's own malloc().
        Dl_info runtime{};
        if (dladdr(reinterpret_cast<void *>(&__asan_init), &runtime) && runtime.dli_fname)
            preload = std::string(runtime.dli_fname) + ":" + preload;
#endif
        setenv("LD_PRELOAD", preload.c_str(), 1);
        execv("/proc/self/exe", argv);
        std::perror("execv");
        return 1;
    }
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
