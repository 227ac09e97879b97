#pragma once

// A PulseAudio server of the tests' own, started once for a suite in a runtime folder of its own
// (so a desktop's server is never touched), with virtual microphones: a null sink fed by paplay,
// remapped into a source. Its tests are skipped when pulseaudio, pactl or paplay are missing.

#include "EngineTestSupport.h"
#include "platform/AudioInput.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>

extern char **environ;

namespace enginetest {

using namespace std::chrono_literals;

inline std::optional<std::string> environmentValue(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

inline void restoreEnvironment(const char *name, const std::optional<std::string> &value)
{
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}

// Sets environment variables for the lifetime of the object.
class ScopedEnvironment {
public:
    void set(const char *name, const std::optional<std::string> &value)
    {
        if (!saved_.contains(name))
            saved_[name] = environmentValue(name);
        restoreEnvironment(name, value);
    }
    ~ScopedEnvironment()
    {
        for (const auto &[name, value] : saved_)
            restoreEnvironment(name.c_str(), value);
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

inline pid_t spawn(const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return 0;
    return pid;
}

inline void terminate(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

struct CommandResult {
    int status = -1;
    std::string output;
};

inline CommandResult run(const std::string &command)
{
    CommandResult result;
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe))
        result.output += buffer;
    result.status = pclose(pipe);
    while (!result.output.empty() && result.output.back() == '\n')
        result.output.pop_back();
    return result;
}

inline bool onPath(const char *program)
{
    return run(std::string("command -v ") + program).status == 0;
}

// A 16-bit mono tone of `seconds` at 48 kHz, half of full scale.
inline void writeTone(const std::string &path, double frequency, double seconds)
{
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_TRUE(file) << sf_strerror(nullptr);
    std::vector<std::int16_t> samples(static_cast<size_t>(48000 * seconds));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] =
            static_cast<std::int16_t>(16384 * std::sin(2 * std::numbers::pi * frequency * i / 48000));
    sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

// The frequency of a tone: the median time between its rising zero crossings (placed between
// samples by interpolation), so that a dropout here and there does not count. 0 for silence.
inline double toneFrequency(const std::vector<std::int16_t> &samples, int rate)
{
    std::vector<double> crossings;
    bool armed = false;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i] < -500)
            armed = true;
        if (armed && samples[i - 1] < 0 && samples[i] >= 0) {
            const double before = samples[i - 1];
            crossings.push_back(static_cast<double>(i - 1) + before / (before - samples[i]));
            armed = false;
        }
    }
    if (crossings.size() < 3)
        return 0;
    std::vector<double> periods;
    for (std::size_t i = 1; i < crossings.size(); ++i)
        periods.push_back(crossings[i] - crossings[i - 1]);
    std::nth_element(periods.begin(), periods.begin() + static_cast<std::ptrdiff_t>(periods.size() / 2),
                     periods.end());
    return rate / periods[periods.size() / 2];
}

inline double rms(const std::vector<std::int16_t> &samples)
{
    double sum = 0;
    for (const std::int16_t sample : samples)
        sum += static_cast<double>(sample) * sample;
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size())) / 32768;
}

// Whether `condition` holds within `limit`.
template <typename Condition> bool waitFor(std::chrono::milliseconds limit, Condition condition)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!condition() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(20ms);
    return condition();
}

// Counts what an open input delivers.
class CountingSink final : public platform::AudioSink {
public:
    void audioCaptured(std::span<const std::int16_t> samples) override { frames += samples.size(); }
    void inputLost(const TranslatableText &) override {}
    std::atomic<std::size_t> frames{0};
};

class PrivatePulseServer : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        skipReason_.clear();
        for (const char *program : {"pulseaudio", "pactl", "paplay"}) {
            if (!onPath(program)) {
                skipReason_ = std::string(program) + " is not installed";
                return;
            }
        }
        runtime_ = std::make_unique<TempDir>();
        environment_ = std::make_unique<ScopedEnvironment>();
        environment_->set("XDG_RUNTIME_DIR", runtime_->path().string());
        environment_->set("PULSE_RUNTIME_PATH", std::nullopt);
        environment_->set("PULSE_SERVER", std::nullopt);
        if (!startServer()) {
            skipReason_ = "a private pulseaudio server did not start";
            TearDownTestSuite();
        }
    }

    static bool startServer()
    {
        server_ =
            spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                   "--log-level=error", "--log-target=file:" + (runtime_->path() / "pulseaudio.log").string(),
                   "--load=module-native-protocol-unix auth-anonymous=1"});
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < until) {
            if (run("pactl info").status == 0)
                return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    static void TearDownTestSuite()
    {
        terminate(server_);
        server_ = 0;
        environment_.reset();
        runtime_.reset();
    }

    void SetUp() override
    {
        if (!skipReason_.empty())
            GTEST_SKIP() << skipReason_;
    }

    void TearDown() override
    {
        for (const pid_t player : players_)
            terminate(player);
        for (auto module = modules_.rbegin(); module != modules_.rend(); ++module)
            run("pactl unload-module " + *module);
    }

    std::string loadModule(const std::string &arguments)
    {
        const CommandResult result = run("pactl load-module " + arguments);
        EXPECT_EQ(result.status, 0) << result.output;
        modules_.push_back(result.output);
        return result.output;
    }

    // A virtual microphone `name` that hears a tone of `frequency` Hz (none when 0). Returns the
    // module of its source.
    std::string addMicrophone(const std::string &name, double frequency, const std::string &description = {})
    {
        loadModule("module-null-sink sink_name=" + name + "_sink rate=48000 channels=1 format=s16le");
        const std::string source =
            loadModule("module-remap-source master=" + name + "_sink.monitor source_name=" + name +
                       (description.empty() ? "" : " source_properties=device.description=" + description));
        if (frequency > 0) {
            const std::string tone = (runtime_->path() / (name + ".wav")).string();
            writeTone(tone, frequency, 30);
            // A short latency for the player: a null sink renders ahead by its latency, and
            // with paplay's default of 2 s the first audio would reach a new recording late.
            players_.push_back(spawn({"paplay", "--latency-msec=50", "-d", name + "_sink", tone}));
        }
        return source;
    }

    static void setDefaultSource(const std::string &name)
    {
        const CommandResult result = run("pactl set-default-source " + name);
        ASSERT_EQ(result.status, 0) << result.output;
    }

    static inline std::string skipReason_;
    static inline std::unique_ptr<TempDir> runtime_;
    static inline std::unique_ptr<ScopedEnvironment> environment_;
    static inline pid_t server_ = 0;
    std::vector<std::string> modules_;
    std::vector<pid_t> players_;
};

} // namespace enginetest
