// A long recording through the recorder engine, fed by a fake microphone at 120 times real time
// (a live input never outruns the disk; one that did would overflow the recorder's buffer and be
// told as a gap):
//
//   engine_long HOURS OUTPUT.caf [RATE]          (RATE defaults to 48000)
//
// Records exactly HOURS of audio (each sample its frame's index, wrapping), then checks and
// prints on standard output, one "key: value" a line:
//   frames-expected / frames-in-file   what was fed and what libsndfile reads back
//   bytes-expected / bytes-in-file     a one-second file's header plus two bytes a frame
//   gaps                               breaks in the count (lost or repeated frames)
//   rss-kib-at-N-min                   resident memory every 10 minutes of audio
//   rss-kib-first / rss-kib-max / rss-kib-last
//   wall-seconds / cpu-seconds         how long it took
// The exit status is 0 when it ran; the figures are judged by bench/bench.py.

#include "engine/AudioRecorder.h"
#include "engine/SampleRate.h"
#include "fakes/FakeAudioInput.h"

#include <sndfile.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

long residentKib()
{
    long kib = -1;
    if (FILE *status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            if (std::sscanf(line, "VmRSS: %ld kB", &kib) == 1)
                break;
        }
        std::fclose(status);
    }
    return kib;
}

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

SampleRate atRate(int hertz)
{
    return static_cast<SampleRate>(hertz);
}

// Records `frames` frames into `path`, calling `progress` about ten times a second while it
// runs. Returns false (with a message) when the recorder cannot be made.
template <typename Progress>
bool record(const QString &path, int rate, std::uint64_t frames, Progress progress)
{
    auto input = std::make_unique<FakeAudioInput>();
    FakeAudioInput *fake = input.get();
    TranslatableText error;
    auto recorder = AudioRecorder::create(path, atRate(rate), std::move(input), &error);
    if (!recorder) {
        std::fprintf(stderr, "engine_long: %s\n", qPrintable(error.english()));
        return false;
    }
    recorder->setMeteringEnabled(true);
    recorder->record();
    // Quarter-second fragments, as the sound server delivers them, 120 times faster.
    fake->start(FakeAudioInput::counter(), std::chrono::milliseconds(250), 120, frames);
    while (!fake->finished()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        recorder->takePeakLevel(); // as the tick does
        progress(fake->deliveredFrames());
    }
    recorder->waitUntilSaved();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s HOURS OUTPUT.caf [RATE]\n", argv[0]);
        return 2;
    }
    const double hours = std::atof(argv[1]);
    const std::string output = argv[2];
    const int rate = argc > 3 ? std::atoi(argv[3]) : 48000;
    const auto frames = static_cast<std::uint64_t>(hours * 3600 * rate + 0.5);

    // The header's length, from a one-second recording made the same way.
    const std::string reference = output + ".one-second.caf";
    if (!record(QString::fromStdString(reference), rate, static_cast<std::uint64_t>(rate),
                [](std::uint64_t) {}))
        return 1;
    const auto header = static_cast<std::int64_t>(std::filesystem::file_size(reference)) - 2LL * rate;
    std::filesystem::remove(reference);

    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    std::vector<std::pair<int, long>> samples; // (minutes of audio, RSS)
    long rssMax = 0;
    const std::uint64_t every = static_cast<std::uint64_t>(rate) * 600;
    std::uint64_t next = every;
    if (!record(QString::fromStdString(output), rate, frames, [&](std::uint64_t delivered) {
            const long rss = residentKib();
            rssMax = std::max(rssMax, rss);
            while (delivered >= next) {
                samples.emplace_back(static_cast<int>(next / rate / 60), rss);
                next += every;
            }
        }))
        return 1;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double cpu = cpuSeconds() - cpuStart;

    // Read back: every frame present, in order.
    SF_INFO info{};
    SNDFILE *file = sf_open(output.c_str(), SFM_READ, &info);
    std::int64_t inFile = -1;
    std::int64_t gaps = -1;
    if (file) {
        inFile = info.frames;
        gaps = 0;
        std::vector<std::int16_t> chunk(1 << 20);
        std::uint16_t expected = 0;
        sf_count_t got;
        while ((got = sf_read_short(file, chunk.data(), static_cast<sf_count_t>(chunk.size()))) > 0) {
            for (sf_count_t i = 0; i < got; ++i) {
                const auto value = static_cast<std::uint16_t>(chunk[static_cast<size_t>(i)]);
                if (value != expected)
                    ++gaps;
                expected = static_cast<std::uint16_t>(value + 1);
            }
        }
        sf_close(file);
    }
    std::printf("frames-expected: %llu\n", static_cast<unsigned long long>(frames));
    std::printf("frames-in-file: %lld\n", static_cast<long long>(inFile));
    std::printf("bytes-expected: %lld\n",
                static_cast<long long>(header + 2 * static_cast<std::int64_t>(frames)));
    std::printf("bytes-in-file: %lld\n", static_cast<long long>(std::filesystem::file_size(output)));
    std::printf("header-bytes: %lld\n", static_cast<long long>(header));
    std::printf("gaps: %lld\n", static_cast<long long>(gaps));
    for (const auto &[minutes, rss] : samples)
        std::printf("rss-kib-at-%d-min: %ld\n", minutes, rss);
    std::printf("rss-kib-first: %ld\n", samples.empty() ? -1 : samples.front().second);
    std::printf("rss-kib-max: %ld\n", rssMax);
    std::printf("rss-kib-last: %ld\n", samples.empty() ? -1 : samples.back().second);
    std::printf("wall-seconds: %.1f\n", wall);
    std::printf("cpu-seconds: %.1f\n", cpu);
    return 0;
}
