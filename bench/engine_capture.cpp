// Records the desktop's default microphone with the recorder engine and prints what it cost.
//
//   engine_capture SECONDS OUTPUT.caf [RATE] [--no-drain] [--no-meter] [--fragment-ms=N]
//                  [--kill-after=S]
//
// Prints, on standard error: the CPU time of this process (all its threads, from
// /proc/self/task/*/schedstat) per minute of capture, measured between one second after
// record() and stop(), and how often its threads were scheduled; what the drain at stop found;
// and the file's length against the wall clock. The main thread reads the level ten times a
// second as the panel does, unless --no-meter. --no-drain makes stop() skip fetching the
// unfinished fragment, to show what that saves. --fragment-ms asks the sound server for
// fragments of another length than the recorder's. --kill-after=S kills the process with SIGKILL
// S seconds after record(), saying so on standard error first, to see what a kill loses. With
// REGISTRATORE_BENCH_TRACE=1 the engine also tells when the recording started (bench/bench.py kills it to see
// what a kill loses). bench/engine_capture.sh runs it against a private PulseAudio server next to parecord.

#include "engine/AudioRecorder.h"
#include "engine/SampleRate.h"
#include "platform/capture/pulse/PulseAudioInput.h"

#include <dirent.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

struct Usage {
    long long runNs = 0;  // time this process's threads have run so far
    long long slices = 0; // how many times they were scheduled in (about: woke up)
};

Usage usage()
{
    Usage total;
    DIR *tasks = opendir("/proc/self/task");
    if (!tasks)
        return total;
    while (const dirent *entry = readdir(tasks)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string path = std::string("/proc/self/task/") + entry->d_name + "/schedstat";
        if (FILE *file = std::fopen(path.c_str(), "r")) {
            long long runNs = 0;
            long long waitNs = 0;
            long long slices = 0;
            if (std::fscanf(file, "%lld %lld %lld", &runNs, &waitNs, &slices) == 3) {
                total.runNs += runNs;
                total.slices += slices;
            }
            std::fclose(file);
        }
    }
    closedir(tasks);
    return total;
}

// The Pulse input with drain() turned off, to measure what stop() loses without it.
class WithoutDrain final : public platform::AudioInput {
public:
    explicit WithoutDrain(std::unique_ptr<platform::AudioInput> inner) : inner_(std::move(inner)) {}
    bool open(int rate, TranslatableText *error = nullptr) override { return inner_->open(rate, error); }
    bool isOpen() const override { return inner_->isOpen(); }
    int sampleRate() const override { return inner_->sampleRate(); }
    void setSink(platform::AudioSink *sink) override { inner_->setSink(sink); }
    void setHeld(bool held) override { inner_->setHeld(held); }
    void drain() override {}
    void close() override { inner_->close(); }

private:
    std::unique_ptr<platform::AudioInput> inner_;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s SECONDS OUTPUT.caf [RATE] [--no-drain] [--no-meter] [--fragment-ms=N]\n",
                     argv[0]);
        return 2;
    }
    const double seconds = std::atof(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    const int rate = argc > 3 && argv[3][0] != '-' ? std::atoi(argv[3]) : 48000;
    bool drain = true;
    bool meter = true;
    auto fragment = platform::PulseAudioInput::defaultFragment;
    double killAfter = 0;
    for (int i = 3; i < argc; ++i) {
        drain = drain && std::strcmp(argv[i], "--no-drain") != 0;
        meter = meter && std::strcmp(argv[i], "--no-meter") != 0;
        if (std::strncmp(argv[i], "--fragment-ms=", 14) == 0)
            fragment = std::chrono::milliseconds(std::atoi(argv[i] + 14));
        if (std::strncmp(argv[i], "--kill-after=", 13) == 0)
            killAfter = std::atof(argv[i] + 13);
    }

    auto pulse = std::make_unique<platform::PulseAudioInput>(fragment);
    platform::PulseAudioInput *input = pulse.get();
    std::unique_ptr<platform::AudioInput> used = std::move(pulse);
    if (!drain)
        used = std::make_unique<WithoutDrain>(std::move(used));
    // As in the app: the input opens when the save dialog does, a moment before the recording.
    TranslatableText openError;
    if (!used->open(rate, &openError)) {
        std::fprintf(stderr, "%s\n", qPrintable(openError.english()));
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    TranslatableText error;
    auto recorder = AudioRecorder::create(path, static_cast<SampleRate>(rate), std::move(used), &error);
    if (!recorder) {
        std::fprintf(stderr, "%s\n", qPrintable(error.english()));
        return 1;
    }
    recorder->setMeteringEnabled(true);
    const auto start = std::chrono::steady_clock::now();
    recorder->record();

    std::this_thread::sleep_for(std::chrono::seconds(1));
    const Usage before = usage();
    const auto measureStart = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    if (killAfter > 0) {
        std::this_thread::sleep_until(start + std::chrono::duration<double>(killAfter));
        const double after = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::fprintf(stderr, "killed: %.3f s after record()\n", after);
        std::raise(SIGKILL);
    }
    // Like the panel's level meter, unless --no-meter: then the engine's own cost alone.
    while (std::chrono::steady_clock::now() < end) {
        if (!meter) {
            std::this_thread::sleep_until(end);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        recorder->takePeakLevel();
    }
    const Usage after = usage();
    const double measured =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - measureStart).count();
    recorder->waitUntilSaved();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const auto figures = input->lastDrain();
    const double cpuMs = static_cast<double>(after.runNs - before.runNs) / 1e6;
    std::fprintf(stderr,
                 "cpu: %.1f ms per minute of capture (%.1f ms over %.1f s), %.0f wake-ups per minute\n",
                 cpuMs * 60.0 / measured, cpuMs, measured,
                 static_cast<double>(after.slices - before.slices) * 60.0 / measured);
    if (drain) {
        std::fprintf(
            stderr, "drain at stop: the server held %.1f ms, %.1f ms not delivered, waited %.1f ms%s\n",
            figures.heldMs, figures.leftMs, figures.waitedMs, figures.timedOut ? " (timed out)" : "");
    }
    std::fprintf(stderr, "file: %.3f s for %.3f s between record() and the end of stop() (%+.0f ms)\n",
                 recorder->currentTime(), wall, (recorder->currentTime() - wall) * 1000);
    return 0;
}
