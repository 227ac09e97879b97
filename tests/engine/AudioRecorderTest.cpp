// The recorder engine against the real libsndfile, fed by a fake microphone.

#include "EngineTestSupport.h"
#include "fakes/FakeAudioInput.h"
#include "platform/TemporaryFile.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>

using namespace enginetest;
using namespace std::chrono_literals;

namespace {

struct Session {
    std::unique_ptr<AudioRecorder> recorder;
    FakeAudioInput *input = nullptr; // owned by the recorder
};

Session startSession(const QString &path, int rate = 48000)
{
    auto input = std::make_unique<FakeAudioInput>();
    Session session;
    session.input = input.get();
    TranslatableText error;
    session.recorder = AudioRecorder::create(path, atRate(rate), std::move(input), &error);
    EXPECT_TRUE(session.recorder) << error.english().toStdString();
    if (!session.recorder)
        session.input = nullptr;
    return session;
}

std::vector<std::int16_t> ramp(std::size_t frames, std::int16_t start)
{
    std::vector<std::int16_t> samples(frames);
    for (std::size_t i = 0; i < frames; ++i)
        samples[i] = static_cast<std::int16_t>(start + static_cast<std::int16_t>(i % 1000));
    return samples;
}

// Runs `body` in a child process (for what must not touch this one: a kill, a file size limit,
// a mount). The child's answer: an empty string when all was well, or what went wrong.
struct ChildResult {
    int exitCode = -1;
    std::string message;
};
constexpr int kChildSkipped = 77;

ChildResult runInChild(const std::function<std::string()> &body)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {-1, "pipe failed"};
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string message;
        int code = 0;
        try {
            message = body();
        } catch (const std::exception &e) {
            message = e.what();
        }
        if (message == "skip")
            code = kChildSkipped;
        else if (!message.empty())
            code = 1;
        (void)!write(channel[1], message.data(), message.size());
        _exit(code);
    }
    close(channel[1]);
    ChildResult result;
    char buffer[512];
    ssize_t got;
    while ((got = read(channel[0], buffer, sizeof buffer)) > 0)
        result.message.append(buffer, static_cast<size_t>(got));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace

TEST(AudioRecorderFile, EachRateGives16BitLittleEndianMonoCafReadableByFfprobe)
{
    TempDir dir;
    for (const int rate : {12000, 24000, 48000}) {
        SCOPED_TRACE(rate);
        const QString path = dir.file(("rate-" + std::to_string(rate) + ".caf").c_str());
        Session session = startSession(path, rate);
        ASSERT_TRUE(session.recorder);
        EXPECT_EQ(session.recorder->sampleRate(), rate);
        EXPECT_EQ(session.input->sampleRate(), rate);
        ASSERT_TRUE(session.recorder->record());
        const auto samples = ramp(static_cast<std::size_t>(rate / 2), -500);
        session.input->push(samples);
        session.recorder->waitUntilSaved();

        EXPECT_DOUBLE_EQ(session.recorder->currentTime(), 0.5);
        const SoundFile file = readSoundFile(path);
        ASSERT_TRUE(file.opened);
        EXPECT_EQ(file.format & SF_FORMAT_TYPEMASK, SF_FORMAT_CAF);
        EXPECT_EQ(file.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
        EXPECT_EQ(file.rate, rate);
        EXPECT_EQ(file.channels, 1);
        EXPECT_EQ(file.samples, samples);

        const Probe probe = ffprobe(path);
        EXPECT_TRUE(probe.ok) << probe.output;
        EXPECT_EQ(probe.codec, "pcm_s16le");
        EXPECT_EQ(probe.channels, 1);
        EXPECT_EQ(probe.rate, rate);
    }
}

TEST(AudioRecorderFile, WritesOnlyWhatArrivesWhileRecordingAndTimeStandsStillWhilePaused)
{
    TempDir dir;
    const QString path = dir.file("pause.caf");
    Session session = startSession(path, 24000);
    ASSERT_TRUE(session.recorder);
    // Like a sound server flushing audio still in flight after a pause: the recorder itself
    // must keep it out of the file.
    session.input->setHonoursHold(false);

    session.input->push(1000, 1); // while the save dialog is up
    EXPECT_EQ(session.recorder->currentTime(), 0.0);
    ASSERT_TRUE(session.recorder->record());
    EXPECT_TRUE(session.recorder->isRecording());
    session.input->push(600, 2);
    const int drainsBeforePause = session.input->drainCalls();
    session.recorder->pause();
    EXPECT_FALSE(session.recorder->isRecording());
    EXPECT_TRUE(session.input->held()) << "the input may let the microphone go";
    EXPECT_GT(session.input->drainCalls(), drainsBeforePause) << "pause first takes in what was captured";
    session.input->push(700, 3);
    std::this_thread::sleep_for(50ms);
    EXPECT_DOUBLE_EQ(session.recorder->currentTime(), 600.0 / 24000);

    ASSERT_TRUE(session.recorder->record());
    EXPECT_FALSE(session.input->held());
    session.input->push(300, 4);
    session.recorder->waitUntilSaved();
    EXPECT_DOUBLE_EQ(session.recorder->currentTime(), 900.0 / 24000);

    std::vector<std::int16_t> expected(600, 2);
    expected.insert(expected.end(), 300, 4);
    EXPECT_EQ(readSoundFile(path).samples, expected);
}

namespace {

std::size_t filesIn(const std::filesystem::path &folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// Records `frames` frames of `value` into `path` and waits for the file.
void recordInto(const QString &path, std::size_t frames, std::int16_t value)
{
    Session session = startSession(path, 12000);
    ASSERT_TRUE(session.recorder);
    ASSERT_TRUE(session.recorder->record());
    session.input->push(frames, value);
    EXPECT_TRUE(session.recorder->waitUntilSaved());
}

} // namespace

TEST(AudioRecorderFile, AnyNameTheFolderTakesIsRecordedNewOrReplacing)
{
    TempDir dir;
    const long longest = pathconf(dir.path().c_str(), _PC_NAME_MAX);
    for (const long length : {255L, longest}) {
        const std::string name = std::string(static_cast<std::size_t>(length) - 4, 'a') + ".caf";
        const QString path = QString::fromStdString((dir.path() / name).string());
        for (const bool replacing : {false, true}) {
            SCOPED_TRACE(std::to_string(length) + (replacing ? " bytes, replacing" : " bytes"));
            if (replacing)
                std::ofstream(path.toStdString()) << "an older recording";
            recordInto(path, 1200, 3);
            EXPECT_EQ(readSoundFile(path).samples, std::vector<std::int16_t>(1200, 3));
            EXPECT_EQ(filesIn(dir.path()), 1u) << "nothing is left beside it";
        }
        // Where the file system cannot leave a file unnamed, its short hidden name gives way.
        QString error;
        auto hidden = platform::TemporaryFile::create(QString::fromStdString(dir.path().string()), &error,
                                                      platform::TemporaryFile::Kind::Hidden);
        ASSERT_TRUE(hidden) << error.toStdString();
        EXPECT_TRUE(hidden->giveName(path, true));
        EXPECT_EQ(filesIn(dir.path()), 1u);
        close(hidden->descriptor());
        std::filesystem::remove(path.toStdString());
    }
    // A byte more than the folder takes: the system's reason.
    TranslatableText error;
    const std::string tooLong = std::string(static_cast<std::size_t>(longest) - 3, 'a') + ".caf";
    EXPECT_FALSE(AudioRecorder::create(QString::fromStdString((dir.path() / tooLong).string()), atRate(12000),
                                       std::make_unique<FakeAudioInput>(), &error, patientCreation()));
    EXPECT_TRUE(error.english().contains(QStringLiteral("File name too long")))
        << error.english().toStdString();
}

TEST(AudioRecorderFile, ARecordingACrashLeftHiddenIsGivenAVisibleNameAndAnEmptyOneRemoved)
{
    TempDir dir;
    const auto leave = [&](const char *name, std::size_t frames, std::int16_t value) {
        SF_INFO info{0, 12000, 1, SF_FORMAT_CAF | SF_FORMAT_PCM_16, 0, 0};
        SNDFILE *file = sf_open((dir.path() / name).c_str(), SFM_WRITE, &info);
        ASSERT_TRUE(file);
        const std::vector<std::int16_t> samples(frames, value);
        sf_write_short(file, samples.data(), static_cast<sf_count_t>(frames));
        sf_close(file);
    };
    leave(".registratore-0123abcd.part", 2400, 5); // ours, which says nothing of its name
    leave(".take one.caf.89abcdef.part", 1200, 6); // an earlier version's: left as it is
    leave(".registratore-00000000.part", 0, 0);    // a header and no audio
    QString error;
    // One a recording is still writing.
    const auto writing = platform::TemporaryFile::create(QString::fromStdString(dir.path().string()), &error,
                                                         platform::TemporaryFile::Kind::Hidden);
    ASSERT_TRUE(writing) << error.toStdString();

    Session session = startSession(dir.file("new.caf"), 12000);
    ASSERT_TRUE(session.recorder);
    std::vector<QString> told;
    QObject::connect(
        session.recorder.get(), &Recorder::notice, session.recorder.get(),
        [&told](const TranslatableText &text) { told.push_back(text.english()); }, Qt::DirectConnection);
    ASSERT_TRUE(session.recorder->record());
    session.input->push(600, 7);
    EXPECT_TRUE(session.recorder->waitUntilSaved());

    EXPECT_TRUE(std::filesystem::exists(dir.path() / ".take one.caf.89abcdef.part"));
    std::vector<std::string> recovered;
    for (const auto &entry : std::filesystem::directory_iterator(dir.path())) {
        if (entry.path().filename().string().starts_with("Recovered recording "))
            recovered.push_back(entry.path().string());
    }
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_EQ(readSoundFile(QString::fromStdString(recovered[0])).samples,
              std::vector<std::int16_t>(2400, 5));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / ".registratore-00000000.part"));
    EXPECT_TRUE(std::filesystem::exists(writing->hiddenPath().toStdString()));
    EXPECT_EQ(filesIn(dir.path()), 4u); // new, the earlier one, recovered, the one being written
    ASSERT_EQ(told.size(), 1u);
    for (const QString &text : told)
        EXPECT_TRUE(text.startsWith(QStringLiteral("A recording interrupted earlier was saved as")))
            << text.toStdString();
    close(writing->descriptor());
}

TEST(AudioRecorderCreate, NamesTheFileAndTheReasonWhenTheFileCannotBeCreated)
{
    TempDir dir;
    std::FILE *plain = std::fopen((dir.path() / "plain").c_str(), "w");
    ASSERT_TRUE(plain);
    std::fclose(plain);

    struct Case {
        QString path;
        QString reason;
    };
    std::vector<Case> cases = {
        {dir.file("missing-folder/x.caf"), QStringLiteral("No such file or directory")},
        {dir.file("plain/x.caf"), QStringLiteral("Not a directory")},
    };
    if (geteuid() != 0) { // root writes into read-only folders
        std::filesystem::create_directory(dir.path() / "readonly");
        std::filesystem::permissions(dir.path() / "readonly",
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        cases.push_back({dir.file("readonly/x.caf"), QStringLiteral("Permission denied")});
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        TranslatableText error;
        EXPECT_FALSE(AudioRecorder::create(c.path, atRate(12000), std::make_unique<FakeAudioInput>(), &error,
                                           patientCreation()));
        EXPECT_TRUE(error.english().contains(c.path)) << error.english().toStdString();
        EXPECT_TRUE(error.english().contains(c.reason)) << error.english().toStdString();
    }
}

TEST(AudioRecorderCreate, AChosenNameThatIsALinkIsRefusedAndALinkedFolderIsFollowed)
{
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directory(dir.path() / "real");
    std::ofstream(dir.path() / "thesis.odt") << "the thesis";
    std::ofstream(dir.path() / "real" / "old.caf") << "an older recording";
    fs::create_symlink(dir.path() / "thesis.odt", dir.path() / "planted.caf");
    fs::create_symlink(dir.path() / "nowhere.odt", dir.path() / "dangling.caf");
    fs::create_directory_symlink(dir.path() / "real", dir.path() / "linked");

    struct Case {
        const char *name;
        const char *target; // where the refused link points, or nullptr: the path is recorded
    };
    for (const Case &c : {Case{"planted.caf", "thesis.odt"}, Case{"dangling.caf", "nowhere.odt"},
                          Case{"linked/old.caf", nullptr}, Case{"linked/new.caf", nullptr}}) {
        SCOPED_TRACE(c.name);
        const QString path = dir.file(c.name);
        if (!c.target) {
            recordInto(path, 1200, 4);
            EXPECT_EQ(readSoundFile(dir.file("real/") + QFileInfo(path).fileName()).samples,
                      std::vector<std::int16_t>(1200, 4));
            continue;
        }
        TranslatableText error;
        EXPECT_FALSE(AudioRecorder::create(path, atRate(12000), std::make_unique<FakeAudioInput>(), &error,
                                           patientCreation()));
        EXPECT_EQ(
            error.english(),
            QStringLiteral("“%1” is a link to “%2”; choose another name.").arg(path, dir.file(c.target)));
        EXPECT_TRUE(fs::is_symlink(path.toStdString()));
    }
    std::ifstream thesis(dir.path() / "thesis.odt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(thesis), {}), "the thesis");
    EXPECT_FALSE(fs::exists(dir.path() / "nowhere.odt"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "linked"));
    EXPECT_EQ(filesIn(dir.path()), 5u) << "nothing is left beside them";
    EXPECT_EQ(filesIn(dir.path() / "real"), 2u);
}

TEST(AudioRecorderCreate, FailsWithoutAMicrophoneAndLeavesNoFile)
{
    TempDir dir;
    const QString path = dir.file("nomic.caf");
    auto input = std::make_unique<FakeAudioInput>();
    input->failOpenWith("No microphone found.");
    TranslatableText error;
    EXPECT_FALSE(AudioRecorder::create(path, atRate(48000), std::move(input), &error));
    EXPECT_EQ(error.english(), QStringLiteral("No microphone found."));
    EXPECT_FALSE(AudioRecorder::create(path, atRate(48000), nullptr, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(std::filesystem::exists(path.toStdString()));
}

TEST(AudioRecorderCreate, KeepsAnInputOpenAtTheRightRateAndReopensOneAtAnother)
{
    TempDir dir;
    {
        auto input = std::make_unique<FakeAudioInput>();
        FakeAudioInput *raw = input.get();
        ASSERT_TRUE(input->open(24000)); // opened before the save dialog
        TranslatableText error;
        auto recorder = AudioRecorder::create(dir.file("same.caf"), atRate(24000), std::move(input), &error);
        ASSERT_TRUE(recorder) << error.english().toStdString();
        EXPECT_EQ(raw->openCalls(), 1);
    }
    {
        auto input = std::make_unique<FakeAudioInput>();
        FakeAudioInput *raw = input.get();
        ASSERT_TRUE(input->open(48000));
        TranslatableText error;
        auto recorder = AudioRecorder::create(dir.file("other.caf"), atRate(12000), std::move(input), &error);
        ASSERT_TRUE(recorder) << error.english().toStdString();
        EXPECT_EQ(raw->openCalls(), 2);
        EXPECT_EQ(raw->sampleRate(), 12000);
    }
}

TEST(AudioRecorderThreads, ABlockedUiThreadLosesNoSample)
{
    TempDir dir;
    const QString path = dir.file("blocked.caf");
    Session session = startSession(path, 48000);
    ASSERT_TRUE(session.recorder);
    session.input->start(FakeAudioInput::counter(), 20ms);
    ASSERT_TRUE(session.recorder->record());
    std::this_thread::sleep_for(3s); // the UI thread does nothing for three seconds
    session.recorder->waitUntilSaved();

    const SoundFile file = readSoundFile(path);
    ASSERT_TRUE(file.opened);
    EXPECT_GE(file.samples.size(), 48000u * 29 / 10);
    EXPECT_EQ(firstBreakInCount(file.samples), file.samples.size());
    EXPECT_DOUBLE_EQ(session.recorder->currentTime(), static_cast<double>(file.samples.size()) / 48000);
}

TEST(AudioRecorderThreads, AKilledRecorderLeavesAPlayableFileUpToHalfASecondBeforeTheKill)
{
    TempDir dir;
    const QString path = dir.file("killed.caf");
    int started[2];
    ASSERT_EQ(pipe(started), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(started[0]);
        Session session = startSession(path, 48000);
        if (!session.recorder)
            _exit(1);
        session.input->start(FakeAudioInput::counter(), 20ms);
        session.recorder->record();
        (void)!write(started[1], "r", 1);
        for (;;)
            pause();
    }
    close(started[1]);
    char byte = 0;
    ASSERT_EQ(read(started[0], &byte, 1), 1);
    close(started[0]);
    const auto recordedFor = 1500ms;
    std::this_thread::sleep_for(recordedFor);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    const SoundFile file = readSoundFile(path);
    ASSERT_TRUE(file.opened);
    const double seconds = static_cast<double>(file.samples.size()) / 48000;
    EXPECT_GE(seconds, 1.5 - 0.5);
    EXPECT_LE(seconds, 1.5 + 0.1);
    EXPECT_EQ(firstBreakInCount(file.samples), file.samples.size());
    const Probe probe = ffprobe(path);
    EXPECT_TRUE(probe.ok) << probe.output;
    EXPECT_EQ(probe.codec, "pcm_s16le");
}

namespace {

// Records a second of audio into `folder`, where the file cannot grow past 64 KiB, and checks
// how the recording ends. Runs in a child process.
std::string recordIntoAFullDisk(const std::filesystem::path &folder, const QString &expectedReason)
{
    const QString path = QString::fromStdString((folder / "full.caf").string());
    Session session = startSession(path, 48000);
    if (!session.recorder)
        return "create failed";
    FailedSpy spy(*session.recorder);
    session.recorder->record();
    const auto samples = ramp(48000, 0);
    for (std::size_t at = 0; at < samples.size(); at += 960) {
        session.input->push(std::span(samples).subspan(at, 960));
        std::this_thread::sleep_for(1ms);
    }
    if (!spy.waitForFailure())
        return "no failed() signal";
    std::this_thread::sleep_for(50ms);
    if (session.recorder->isRecording() || session.recorder->record())
        return "still recording after the failure";
    session.recorder->stop();
    session.recorder->waitUntilSaved();
    const auto reasons = spy.reasons();
    if (reasons.size() != 1)
        return "failed() emitted " + std::to_string(reasons.size()) + " times";
    if (!reasons[0].contains(path) || !reasons[0].contains(expectedReason))
        return "unclear reason: " + reasons[0].toStdString();

    const SoundFile file = readSoundFile(path);
    if (!file.opened)
        return "the file does not open";
    const auto frames = static_cast<std::int64_t>(std::llround(session.recorder->currentTime() * 48000));
    if (file.samples.size() < 20000 || static_cast<std::int64_t>(file.samples.size()) != frames)
        return "file holds " + std::to_string(file.samples.size()) + " frames, currentTime says " +
               std::to_string(frames);
    if (!std::equal(file.samples.begin(), file.samples.end(), samples.begin()))
        return "the file does not hold what was recorded";
    if (!ffprobe(path).ok)
        return "ffprobe cannot read the file";
    return {};
}

} // namespace

TEST(AudioRecorderFailure, AFileThatCannotGrowEndsTheRecordingKeepingWhatWasWritten)
{
    TempDir dir;
    const ChildResult result = runInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        return recordIntoAFullDisk(dir.path(), QStringLiteral("File too large"));
    });
    EXPECT_EQ(result.exitCode, 0) << result.message;
}

TEST(AudioRecorderFailure, AFullDiskEndsTheRecordingKeepingWhatWasWritten)
{
    TempDir dir;
    const ChildResult result = runInChild([&]() -> std::string {
        // A 64 KiB tmpfs in a mount namespace of the child's own, where the sandbox allows it.
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0)
            return "skip";
        return recordIntoAFullDisk(dir.path(), QStringLiteral("No space left on device"));
    });
    if (result.exitCode == kChildSkipped)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    EXPECT_EQ(result.exitCode, 0) << result.message;
}

TEST(AudioRecorderFailure, ALostMicrophoneEndsTheRecordingKeepingWhatWasCaptured)
{
    TempDir dir;
    const QString path = dir.file("lost.caf");
    Session session = startSession(path, 12000);
    ASSERT_TRUE(session.recorder);
    FailedSpy spy(*session.recorder);
    ASSERT_TRUE(session.recorder->record());
    const auto samples = ramp(3000, 7);
    session.input->push(samples);
    session.input->loseDevice("The microphone was disconnected.");
    session.input->loseDevice("The microphone was disconnected.");

    ASSERT_TRUE(spy.waitForFailure());
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(spy.reasons(), std::vector<QString>{QStringLiteral("The microphone was disconnected.")});
    EXPECT_FALSE(session.recorder->isRecording());
    EXPECT_FALSE(session.recorder->record());
    // The file is complete before anyone calls stop().
    EXPECT_EQ(readSoundFile(path).samples, samples);
    session.recorder->stop();
    session.recorder->waitUntilSaved();
    EXPECT_EQ(spy.reasons().size(), 1u);
    EXPECT_EQ(readSoundFile(path).samples, samples);
    EXPECT_DOUBLE_EQ(session.recorder->currentTime(), 3000.0 / 12000);
}

TEST(AudioRecorderThreads, AudioTheInputCouldNotCaptureIsReportedOnceAtItsPlace)
{
    TempDir dir;
    const QString path = dir.file("gap.caf");
    Session session = startSession(path, 24000);
    ASSERT_TRUE(session.recorder);
    std::vector<std::pair<double, double>> gaps; // written by the writer thread before it ends
    QObject::connect(
        session.recorder.get(), &Recorder::audioMissing, session.recorder.get(),
        [&](double seconds, double at) { gaps.emplace_back(seconds, at); }, Qt::DirectConnection);
    session.input->reportMissing(4800); // before Record: not part of the recording
    ASSERT_TRUE(session.recorder->record());
    session.input->push(2400, 1);
    session.input->reportMissing(12000);
    session.input->reportMissing(1200);
    session.input->push(2400, 2);
    EXPECT_TRUE(session.recorder->waitUntilSaved());

    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_EQ(std::llround(gaps[0].first * 24000), 13200);
    EXPECT_EQ(std::llround(gaps[0].second * 24000), 2400);
    std::vector<std::int16_t> expected(2400, 1);
    expected.insert(expected.end(), 2400, 2);
    EXPECT_EQ(readSoundFile(path).samples, expected);
}

TEST(AudioRecorderMeters, PeakPowerIsDecibelsOfFullScaleOverTheSamplesSinceTheLastUpdate)
{
    TempDir dir;
    Session session = startSession(dir.file("meters.caf"), 48000);
    ASSERT_TRUE(session.recorder);
    AudioRecorder &recorder = *session.recorder;
    recorder.setMeteringEnabled(true);
    ASSERT_TRUE(recorder.record());

    const auto peakAfter = [&](std::vector<std::int16_t> samples) {
        session.input->push(samples);
        return recorder.takePeakLevel();
    };
    EXPECT_NEAR(peakAfter({0, -32768, 5}), 0.0f, 0.001f);
    EXPECT_NEAR(peakAfter({32767}), 0.0f, 0.001f);
    EXPECT_NEAR(peakAfter({100, 16384, -200}), -6.0206f, 0.001f);
    EXPECT_NEAR(peakAfter({-16384}), -6.0206f, 0.001f);
    EXPECT_EQ(peakAfter({0, 0, 0}), -160.0f);
    EXPECT_NEAR(peakAfter({1}), -90.309f, 0.001f);
    EXPECT_NEAR(peakAfter({}), -90.309f, 0.001f) << "between two fragments the reading stands";
    EXPECT_NEAR(peakAfter({16384}), -6.0206f, 0.001f);

    recorder.pause();
    EXPECT_EQ(peakAfter({32767}), -160.0f) << "nothing is heard while paused";
    ASSERT_TRUE(recorder.record());
    recorder.setMeteringEnabled(false);
    EXPECT_EQ(peakAfter({32767}), -160.0f);
}

TEST(AudioRecorderStop, StopCompletesTheFileReleasesTheMicrophoneAndIsIdempotent)
{
    TempDir dir;
    const QString path = dir.file("stop.caf");
    Session session = startSession(path, 48000);
    ASSERT_TRUE(session.recorder);
    ASSERT_TRUE(session.recorder->record());
    std::vector<bool> saved; // by the writer thread, once
    QObject::connect(
        session.recorder.get(), &Recorder::saved, session.recorder.get(),
        [&saved](bool complete, const TranslatableText &) { saved.push_back(complete); },
        Qt::DirectConnection);
    session.input->push(4800, 9);
    session.recorder->stop();
    EXPECT_GE(session.input->drainCalls(), 1);
    EXPECT_FALSE(session.input->isOpen());
    EXPECT_EQ(session.input->closeCalls(), 1);
    EXPECT_FALSE(session.input->push(100, 1)) << "the microphone is detached";
    session.recorder->waitUntilSaved();
    session.recorder->stop();
    EXPECT_EQ(saved, std::vector<bool>{true});
    EXPECT_FALSE(session.recorder->record());
    EXPECT_EQ(readSoundFile(path).samples.size(), 4800u);

    // Destroying a recording recorder stops it.
    const QString second = dir.file("destroyed.caf");
    Session other = startSession(second, 24000);
    ASSERT_TRUE(other.recorder);
    ASSERT_TRUE(other.recorder->record());
    other.input->push(2400, 3);
    other.recorder.reset();
    EXPECT_EQ(readSoundFile(second).samples, std::vector<std::int16_t>(2400, 3));
}

TEST(AudioRecorderThreads, AnInputFasterThanTheDiskIsWrittenWholeAndInOrder)
{
    // Quarter-second fragments back to back, far faster than real time: what piles up waits in
    // the buffer, and nothing is dropped.
    TempDir dir;
    const QString path = dir.file("fast.caf");
    Session session = startSession(path, 48000);
    ASSERT_TRUE(session.recorder);
    ASSERT_TRUE(session.recorder->record());
    const std::uint64_t frames = 48000ull * 20 + 123; // not a whole number of fragments
    session.input->start(FakeAudioInput::counter(), 250ms, 0, frames);
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (!session.input->finished() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(session.input->finished());
    session.recorder->waitUntilSaved();

    const SoundFile file = readSoundFile(path);
    ASSERT_TRUE(file.opened);
    EXPECT_EQ(file.samples.size(), frames);
    EXPECT_EQ(firstBreakInCount(file.samples), file.samples.size());
    EXPECT_DOUBLE_EQ(session.recorder->currentTime(), static_cast<double>(frames) / 48000);
}
