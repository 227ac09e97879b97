// The build's player (PulseAudio's, or the portable build's QAudioSink) against a private
// PulseAudio server whose default output is a null sink: what it plays is what the sink's monitor
// hears, recorded with parecord.

#include "platform/AudioPlayer.h"
#include "PrivatePulseServer.h"
#ifndef REGISTRATORE_PORTABLE
#include "platform/playback/pulse/PulseAudioPlayer.h"
#endif

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace enginetest;
using namespace std::chrono_literals;

namespace {

constexpr int kMonitorRate = 48000;

// A tone of `seconds` at `rate`, on every one of `channels`, as `format` (SF_FORMAT_CAF | ...).
void writeTone(const QString &path, int format, int rate, int channels, double frequency, double seconds)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    ASSERT_TRUE(file) << sf_strerror(nullptr);
    std::vector<float> samples;
    for (int i = 0; i < static_cast<int>(rate * seconds); ++i)
        samples.insert(samples.end(), static_cast<std::size_t>(channels),
                       static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * frequency * i / rate)));
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(rate * seconds));
    sf_close(file);
}

// Runs the event loop until `done` holds or `limit` passes.
template <typename Done> bool spin(std::chrono::milliseconds limit, Done done)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < limit.count())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// What the player said, in order.
struct Signals {
    explicit Signals(platform::AudioPlayer &player)
    {
        QObject::connect(&player, &platform::AudioPlayer::playingChanged,
                         [this](bool playing) { said.push_back(playing ? "playing" : "stopped"); });
        QObject::connect(&player, &platform::AudioPlayer::failed, [this](const TranslatableText &reason) {
            said.push_back("failed");
            failure = reason.english().toStdString();
        });
    }
    bool ended() const { return !said.empty() && said.back() == "stopped"; }
    std::vector<std::string> said;
    std::string failure;
};

class Playback : public PrivatePulseServer {
protected:
    static void SetUpTestSuite()
    {
        PrivatePulseServer::SetUpTestSuite();
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "engine_tests";
            static char *argv[] = {name, nullptr};
            application_ = new QCoreApplication(argc, argv);
        }
    }
    static void TearDownTestSuite()
    {
        delete std::exchange(application_, nullptr);
        PrivatePulseServer::TearDownTestSuite();
    }

    void SetUp() override
    {
        PrivatePulseServer::SetUp();
        if (IsSkipped())
            return;
        if (!onPath("parecord"))
            GTEST_SKIP() << "parecord is not installed";
        addSpeaker();
    }

    void addSpeaker()
    {
        loadModule("module-null-sink sink_name=speaker rate=48000 channels=1 format=s16le");
        ASSERT_EQ(run("pactl set-default-sink speaker").status, 0);
    }

    void TearDown() override
    {
        terminate(std::exchange(recorder_, 0));
        PrivatePulseServer::TearDown();
    }

    // Starts recording what the speaker plays.
    void listen()
    {
        QFile::remove(QString::fromStdString(heardPath()));
        recorder_ = spawn({"parecord", "-d", "speaker.monitor", "--raw", "--format=s16le", "--channels=1",
                           "--rate=" + std::to_string(kMonitorRate), "--latency-msec=20", heardPath()});
        ASSERT_GT(recorder_, 0);
        // A null sink's monitor starts to deliver a moment after parecord connects.
        ASSERT_TRUE(waitFor(5s, [&] { return QFileInfo(QString::fromStdString(heardPath())).size() > 0; }));
    }

    // What the speaker played since listen(), and nothing after this call.
    std::vector<std::int16_t> heard()
    {
        terminate(std::exchange(recorder_, 0));
        QFile raw(QString::fromStdString(heardPath()));
        if (!raw.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = raw.readAll();
        std::vector<std::int16_t> samples(static_cast<std::size_t>(bytes.size()) / 2);
        std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
        return samples;
    }

    // The samples from the first to the last loud one.
    static std::vector<std::int16_t> sound(const std::vector<std::int16_t> &samples)
    {
        const auto loud = [](std::int16_t sample) { return std::abs(sample) > 1000; };
        const auto first = std::find_if(samples.begin(), samples.end(), loud);
        const auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
        return first < last ? std::vector<std::int16_t>(first, last) : std::vector<std::int16_t>{};
    }

    std::string heardPath() const { return (runtime_->path() / "heard.raw").string(); }
    QString tonePath() const { return QString::fromStdString((runtime_->path() / "tone.caf").string()); }

    pid_t recorder_ = 0;
    static inline QCoreApplication *application_ = nullptr;
};

struct PlayCase {
    const char *name;
    int format;
    int rate;
    int channels;
    std::chrono::milliseconds stopAfter; // 0: to the end
};

void PrintTo(const PlayCase &test, std::ostream *out)
{
    *out << test.name;
}

class PlaysAFile : public Playback, public ::testing::WithParamInterface<PlayCase> {};

} // namespace

// The speaker hears the file's tone for as long as it lasts, or until stop().
TEST_P(PlaysAFile, TheSpeakerHearsItsToneUntilTheEndOrStop)
{
    const PlayCase test = GetParam();
    const double seconds = 1.5;
    writeTone(tonePath(), test.format, test.rate, test.channels, 440, seconds);
    listen();
    std::unique_ptr<platform::AudioPlayer> player = platform::makeSystemAudioPlayer();
    Signals said(*player);
    TranslatableText error;
    ASSERT_TRUE(player->play(tonePath(), &error)) << error.english().toStdString();
    EXPECT_TRUE(player->isPlaying());
    EXPECT_EQ(player->file(), tonePath());
    EXPECT_NEAR(player->duration(), 1500, 1);
    // What the speaker hears: the whole file, or what the player said it had played when stopped
    // (the moment the output takes to start counts in neither).
    double expected = seconds;
    if (test.stopAfter > 0ms) {
        spin(test.stopAfter, [] { return false; });
        EXPECT_NEAR(player->position(), test.stopAfter.count(), 200);
        expected = static_cast<double>(player->position()) / 1000;
#ifndef REGISTRATORE_PORTABLE
        // The desktop's sound settings show the stream as the recorder's.
        const std::string inputs = run("pactl list sink-inputs").output;
        EXPECT_NE(inputs.find("application.name = \"Registratore\""), std::string::npos) << inputs;
        EXPECT_NE(inputs.find("media.role = \"music\""), std::string::npos) << inputs;
#endif
        player->stop();
        player->stop();
        EXPECT_FALSE(player->isPlaying());
        EXPECT_EQ(player->position(), 0);
    } else {
        EXPECT_TRUE(spin(5s, [&] { return said.ended(); })) << "the end of the file was not told";
    }
    EXPECT_EQ(said.said, (std::vector<std::string>{"playing", "stopped"}));
    EXPECT_TRUE(player->file().isEmpty());
    spin(300ms, [] { return false; });
    const std::vector<std::int16_t> tone = sound(heard());
    const double heardSeconds = static_cast<double>(tone.size()) / kMonitorRate;
    EXPECT_NEAR(heardSeconds, expected, 0.15);
    EXPECT_NEAR(toneFrequency(tone, kMonitorRate), 440, 3);
    EXPECT_NEAR(rms(tone), 0.5 / std::numbers::sqrt2, 0.05);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlaysAFile,
    ::testing::Values(PlayCase{"Recording", SF_FORMAT_CAF | SF_FORMAT_PCM_16, 24000, 1, 0ms},
                      PlayCase{"StereoWave", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 2, 0ms},
                      PlayCase{"StoppedHalfWay", SF_FORMAT_CAF | SF_FORMAT_PCM_16, 48000, 1, 700ms}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Playback, AFileThatIsNotAudioIsRefusedWithItsName)
{
    QFile text(QString::fromStdString((runtime_->path() / "notes.caf").string()));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a recording at all, only words\n");
    text.close();
    std::unique_ptr<platform::AudioPlayer> player = platform::makeSystemAudioPlayer();
    Signals said(*player);
    for (const std::string name : {"notes.caf", "missing.caf", "."}) {
        SCOPED_TRACE(name);
        TranslatableText error;
        EXPECT_FALSE(player->play(QString::fromStdString((runtime_->path() / name).string()), &error));
        EXPECT_TRUE(error.english().startsWith(QStringLiteral("Cannot play")))
            << error.english().toStdString();
        EXPECT_FALSE(player->isPlaying());
        EXPECT_TRUE(player->file().isEmpty());
    }
    spin(100ms, [] { return false; });
    EXPECT_TRUE(said.said.empty());
}

// An output or a server that goes away while a file plays ends it with failed(); the player is
// ready for the next file.
TEST_F(Playback, AnOutputOrServerThatGoesAwayEndsThePlayingWithFailed)
{
    writeTone(tonePath(), SF_FORMAT_CAF | SF_FORMAT_PCM_16, 24000, 1, 440, 10);
    for (const bool killServer : {false, true}) {
        SCOPED_TRACE(killServer ? "server killed" : "output unloaded");
        if (killServer) // the first case took the speaker away
            addSpeaker();
        std::unique_ptr<platform::AudioPlayer> player = platform::makeSystemAudioPlayer();
        Signals said(*player);
        ASSERT_TRUE(player->play(tonePath()));
        spin(500ms, [] { return false; });
        if (killServer) {
            kill(server_, SIGKILL);
            waitpid(std::exchange(server_, 0), nullptr, 0);
            modules_.clear();
        } else {
            run("pactl unload-module " + modules_.back());
            modules_.pop_back();
        }
        EXPECT_TRUE(spin(5s, [&] { return said.ended(); }));
        EXPECT_EQ(said.said, (std::vector<std::string>{"playing", "failed", "stopped"}));
        EXPECT_TRUE(said.failure.starts_with("Playback stopped")) << said.failure;
        EXPECT_FALSE(player->isPlaying());
    }
    ASSERT_TRUE(startServer());
}

// A server that stops answering (SIGSTOP, as a hung one) holds up neither stop() nor a new play()
// nor the player's end; on Linux a file left playing on it ends with failed() after the patience.
TEST_F(Playback, AServerThatStopsAnsweringHoldsNothingUp)
{
    writeTone(tonePath(), SF_FORMAT_CAF | SF_FORMAT_PCM_16, 24000, 1, 440, 10);
#ifdef REGISTRATORE_PORTABLE
    std::unique_ptr<platform::AudioPlayer> player = platform::makeSystemAudioPlayer();
#else
    auto player =
        std::make_unique<platform::PulseAudioPlayer>(platform::PulseAudioPlayer::defaultLatency, 1s);
#endif
    Signals said(*player);
    ASSERT_TRUE(player->play(tonePath()));
    spin(500ms, [] { return false; });
    ASSERT_EQ(kill(server_, SIGSTOP), 0);
    const auto timed = [](auto &&work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::steady_clock::now() - start;
    };
#ifndef REGISTRATORE_PORTABLE
    EXPECT_TRUE(spin(3s, [&] { return said.ended(); }));
    EXPECT_EQ(said.failure, "Playback stopped: the sound server does not answer.");
#endif
    EXPECT_LT(timed([&] { EXPECT_TRUE(player->play(tonePath())); }), 100ms);
    EXPECT_LT(timed([&] { player->stop(); }), 100ms);
    ASSERT_TRUE(player->play(tonePath()));
    EXPECT_LT(timed([&] { player.reset(); }), 150ms);
    kill(server_, SIGCONT);
}
