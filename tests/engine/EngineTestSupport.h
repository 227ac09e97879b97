#pragma once

#include "engine/AudioRecorder.h"
#include "engine/SampleRate.h"

#include <QDir>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace enginetest {

inline SampleRate atRate(int hertz)
{
    return static_cast<SampleRate>(hertz);
}

// For a test of what create() says of a file that cannot be created: the disk answers at once
// here, however busy the machine running the test.
inline AudioRecorder::Options patientCreation()
{
    AudioRecorder::Options options;
    options.creationWait = std::chrono::seconds(10);
    return options;
}

// A folder of its own for each test, removed afterwards.
// A temporary folder, removed with everything in it; its name starts "registratore-engine-" (the
// stalling disk of the fault tests stalls those).
class TempDir : public QTemporaryDir {
public:
    TempDir() : QTemporaryDir(QDir::tempPath() + QStringLiteral("/registratore-engine-XXXXXX")) {}
    std::filesystem::path path() const { return QTemporaryDir::path().toStdString(); }
    QString file(const char *name) const { return filePath(QString::fromUtf8(name)); }
};

// What libsndfile reads back from a file.
struct SoundFile {
    bool opened = false;
    int format = 0;
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;
};

inline SoundFile readSoundFile(const QString &path)
{
    SoundFile result;
    SF_INFO info{};
    SNDFILE *file = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (!file)
        return result;
    result.opened = true;
    result.format = info.format;
    result.rate = info.samplerate;
    result.channels = info.channels;
    result.samples.resize(static_cast<size_t>(info.frames * info.channels));
    const sf_count_t read =
        sf_read_short(file, result.samples.data(), static_cast<sf_count_t>(result.samples.size()));
    result.samples.resize(static_cast<size_t>(read));
    sf_close(file);
    return result;
}

// Index of the first sample from `from` on that does not follow its predecessor in the count
// of FakeAudioInput::counter(), or samples.size().
inline std::size_t firstBreakInCount(const std::vector<std::int16_t> &samples, std::size_t from = 1)
{
    for (std::size_t i = std::max<std::size_t>(from, 1); i < samples.size(); ++i) {
        if (static_cast<std::uint16_t>(samples[i]) != static_cast<std::uint16_t>(samples[i - 1] + 1))
            return i;
    }
    return samples.size();
}

// What ffprobe says of a file's first audio stream.
struct Probe {
    bool ok = false;
    std::string codec;
    int rate = 0;
    int channels = 0;
    std::string output;
};

inline Probe ffprobe(const QString &path)
{
    Probe probe;
    const std::string command =
        "ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,sample_rate,channels "
        "-of default=noprint_wrappers=1 '" +
        path.toStdString() + "' 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return probe;
    char line[512];
    while (fgets(line, sizeof line, pipe)) {
        std::string text(line);
        probe.output += text;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        const auto equals = text.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = text.substr(0, equals);
        const std::string value = text.substr(equals + 1);
        if (key == "codec_name")
            probe.codec = value;
        else if (key == "sample_rate")
            probe.rate = std::atoi(value.c_str());
        else if (key == "channels")
            probe.channels = std::atoi(value.c_str());
    }
    probe.ok = pclose(pipe) == 0 && !probe.codec.empty();
    return probe;
}

// Collects the recorder's failed() signals, emitted on its own threads.
class FailedSpy {
public:
    explicit FailedSpy(AudioRecorder &recorder)
    {
        QObject::connect(
            &recorder, &AudioRecorder::failed, &recorder,
            [this](const TranslatableText &reason, bool) {
                std::lock_guard lock(mutex_);
                reasons_.push_back(reason.english());
            },
            Qt::DirectConnection);
    }
    std::vector<QString> reasons() const
    {
        std::lock_guard lock(mutex_);
        return reasons_;
    }
    bool waitForFailure(std::chrono::milliseconds timeout = std::chrono::seconds(5)) const
    {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < until) {
            if (!reasons().empty())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return !reasons().empty();
    }

private:
    mutable std::mutex mutex_;
    std::vector<QString> reasons_;
};

} // namespace enginetest
