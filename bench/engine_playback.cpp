// Time from play() to the first sound: the system player plays a tone file on the default output
// while a record stream of its own listens to that output's monitor with 5 ms fragments. The
// tone was rendered when the fragment holding its first loud sample arrived, less the audio after
// that sample in the fragment; an output renders ahead of what is heard by its latency, which
// the server reports (asked right after) and which is added. The monitor's own latency (printed)
// is not taken off: the figure is when a listener at the output hears it at the latest.
//
//   engine_playback RUNS FOLDER
//
// Prints a warm-up run, "first-sound-ms: N (...)" for each run, then "monitor-latency-ms: N".
// Run it against a server whose default output plays nothing else (bench/engine_playback.sh
// starts one).

#include "platform/AudioPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <pulse/pulseaudio.h>
#include <sndfile.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 48000;

// The default output's monitor, and when it first heard a loud sample since arm().
class Monitor {
public:
    bool start()
    {
        loop_ = pa_threaded_mainloop_new();
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "engine_playback monitor");
        pa_context_set_state_callback(
            context_,
            [](pa_context *, void *loop) {
                pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop *>(loop), 0);
            },
            loop_);
        pa_threaded_mainloop_lock(loop_);
        bool ready = pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
                     pa_threaded_mainloop_start(loop_) >= 0;
        while (ready && pa_context_get_state(context_) != PA_CONTEXT_READY) {
            if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)))
                ready = false;
            else
                pa_threaded_mainloop_wait(loop_);
        }
        if (ready) {
            const pa_sample_spec sampleFormat{PA_SAMPLE_FLOAT32NE, kRate, 1};
            stream_ = pa_stream_new(context_, "monitor", &sampleFormat, nullptr);
            pa_stream_set_read_callback(
                stream_, [](pa_stream *, size_t, void *self) { static_cast<Monitor *>(self)->read(); }, this);
            pa_buffer_attr buffer{};
            buffer.maxlength = static_cast<uint32_t>(-1);
            buffer.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(5000, &sampleFormat));
            ready = pa_stream_connect_record(stream_, "@DEFAULT_MONITOR@", &buffer,
                                             static_cast<pa_stream_flags_t>(
                                                 PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING |
                                                 PA_STREAM_AUTO_TIMING_UPDATE)) >= 0;
        }
        pa_threaded_mainloop_unlock(loop_);
        return ready;
    }

    ~Monitor()
    {
        if (!loop_)
            return;
        pa_threaded_mainloop_stop(loop_);
        if (stream_)
            pa_stream_unref(stream_);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        pa_threaded_mainloop_free(loop_);
    }

    void arm() { heard_ = {}, armed_ = true; }
    bool heard() const { return !armed_; }
    Clock::time_point when() const { return heard_; }

    // The default output's latency now: how long after it renders a sample it is heard.
    double outputLatencyMs()
    {
        struct Answer {
            pa_threaded_mainloop *loop;
            bool done = false;
            pa_usec_t latency = 0;
        } answer{loop_};
        pa_threaded_mainloop_lock(loop_);
        pa_operation *operation = pa_context_get_sink_info_by_name(
            context_, "@DEFAULT_SINK@",
            [](pa_context *, const pa_sink_info *info, int eol, void *data) {
                auto *answer = static_cast<Answer *>(data);
                if (info)
                    answer->latency = info->latency;
                if (eol) {
                    answer->done = true;
                    pa_threaded_mainloop_signal(answer->loop, 0);
                }
            },
            &answer);
        while (operation && !answer.done)
            pa_threaded_mainloop_wait(loop_);
        if (operation)
            pa_operation_unref(operation);
        pa_threaded_mainloop_unlock(loop_);
        return static_cast<double>(answer.latency) / 1000;
    }

    double latencyMs()
    {
        pa_threaded_mainloop_lock(loop_);
        pa_usec_t latency = 0;
        int negative = 0;
        const bool known = pa_stream_get_latency(stream_, &latency, &negative) == 0;
        pa_threaded_mainloop_unlock(loop_);
        return known ? static_cast<double>(latency) / 1000 : -1;
    }

private:
    void read()
    {
        const void *data = nullptr;
        size_t bytes = 0;
        while (pa_stream_peek(stream_, &data, &bytes) == 0 && bytes > 0) {
            const auto arrived = Clock::now();
            const std::size_t count = bytes / sizeof(float);
            if (data && armed_) {
                const auto *samples = static_cast<const float *>(data);
                for (std::size_t i = 0; i < count; ++i) {
                    if (std::fabs(samples[i]) > 0.05f) {
                        heard_ = arrived - std::chrono::microseconds((count - i) * 1000000 / kRate);
                        armed_ = false;
                        break;
                    }
                }
            }
            pa_stream_drop(stream_);
        }
    }

    pa_threaded_mainloop *loop_ = nullptr;
    pa_context *context_ = nullptr;
    pa_stream *stream_ = nullptr;
    std::atomic<bool> armed_{false};
    Clock::time_point heard_;
};

void spin(
    int ms, const std::function<bool()> &done = [] { return false; })
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: engine_playback RUNS FOLDER\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const QString tone = QString::fromLocal8Bit(argv[2]) + QStringLiteral("/tone.caf");
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_CAF | SF_FORMAT_PCM_16;
    SNDFILE *file = sf_open(QFile::encodeName(tone).constData(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "engine_playback: %s\n", sf_strerror(nullptr));
        return 1;
    }
    std::vector<short> samples(kRate / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] =
            static_cast<short>(16384 * std::sin(2 * std::numbers::pi * 440 * static_cast<double>(i) / kRate));
    sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);

    Monitor monitor;
    if (!monitor.start()) {
        std::fprintf(stderr, "engine_playback: cannot listen to the default output's monitor\n");
        return 1;
    }
    spin(2500);
    std::unique_ptr<platform::AudioPlayer> player = platform::makeSystemAudioPlayer();
    QObject::connect(player.get(), &platform::AudioPlayer::failed, [](const TranslatableText &reason) {
        std::fprintf(stderr, "engine_playback: %s\n", qPrintable(reason.english()));
    });
    for (int run = 0; run <= runs; ++run) {
        monitor.arm();
        const auto asked = Clock::now();
        TranslatableText error;
        if (!player->play(tone, &error)) {
            std::fprintf(stderr, "engine_playback: %s\n", qPrintable(error.english()));
            return 1;
        }
        spin(2000, [&] { return monitor.heard(); });
        const double latency = monitor.outputLatencyMs();
        const double rendered = std::chrono::duration<double, std::milli>(monitor.when() - asked).count();
        // The first run wakes the output and its monitor up: not counted.
        if (run == 0)
            std::printf("warm-up-ms: %.1f\n", rendered + latency);
        else if (monitor.heard())
            std::printf("first-sound-ms: %.1f (rendered at %.1f, output latency %.1f)\n", rendered + latency,
                        rendered, latency);
        else
            std::printf("first-sound-ms: none\n");
        std::fflush(stdout);
        spin(1000, [&] { return !player->isPlaying(); });
        player->stop();
        spin(300);
    }
    std::printf("monitor-latency-ms: %.1f\n", monitor.latencyMs());
    return 0;
}
