#include "platform/playback/SoundFileReader.h"

#include <QFileInfo>

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

struct SoundFileReader::State {
    SNDFILE *file = nullptr;
    SF_INFO info{};
    QString name; // for the messages

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<float> samples; // read ahead, not yet taken
    std::size_t capacity = 0;
    bool ended = false; // the thread has read all it will
    std::optional<TranslatableText> failure;
    bool quit = false;
    bool threadDone = false;

    // `more` is called with this held, and cleared with it held: once cleared, never called.
    std::mutex callbackMutex;
    std::function<void()> more;

    ~State()
    {
        if (file)
            sf_close(file);
    }

    void notifyMore()
    {
        std::lock_guard lock(callbackMutex);
        if (more)
            more();
    }

    void run()
    {
        const auto channels = static_cast<std::size_t>(info.channels);
        // About a twentieth of a second at a time.
        const std::size_t chunkFrames =
            std::max<std::size_t>(256, static_cast<std::size_t>(info.samplerate) / 20);
        std::vector<float> chunk(chunkFrames * channels);
        for (;;) {
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return quit || samples.size() + chunk.size() <= capacity; });
                if (quit)
                    break;
            }
            const sf_count_t read = sf_readf_float(file, chunk.data(), static_cast<sf_count_t>(chunkFrames));
            const bool broken = read < 0 || sf_error(file) != SF_ERR_NO_ERROR;
            {
                std::lock_guard lock(mutex);
                if (read > 0)
                    samples.insert(samples.end(), chunk.begin(),
                                   chunk.begin() + static_cast<std::ptrdiff_t>(
                                                       static_cast<std::size_t>(read) * channels));
                if (broken)
                    failure =
                        TranslatableText("Playback",
                                         QT_TRANSLATE_NOOP("Playback", "Cannot read “%1” any further: %2."))
                            .arg(name, QString::fromUtf8(sf_strerror(file)));
                if (broken || read < static_cast<sf_count_t>(chunkFrames))
                    ended = true;
            }
            notifyMore();
            if (broken || read < static_cast<sf_count_t>(chunkFrames))
                break;
        }
        std::lock_guard lock(mutex);
        threadDone = true;
        changed.notify_all();
    }
};

SoundFileReader::SoundFileReader(std::shared_ptr<State> state) : state_(std::move(state)) {}

std::unique_ptr<SoundFileReader> SoundFileReader::open(const QString &path, TranslatableText *error)
{
    const QFileInfo info(path);
    const auto fail = [&](const TranslatableText &text) {
        if (error)
            *error = text;
        return nullptr;
    };
    if (!info.exists())
        return fail(TranslatableText(
                        "Playback", QT_TRANSLATE_NOOP("Playback", "Cannot play “%1”: the file is not there."))
                        .arg(info.fileName()));
    // A pipe or a device would keep the caller waiting for its header.
    if (!info.isFile())
        return fail(
            TranslatableText("Playback", QT_TRANSLATE_NOOP("Playback", "Cannot play “%1”: it is not a file."))
                .arg(info.fileName()));
    auto state = std::make_shared<State>();
    state->name = info.fileName();
    state->file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &state->info);
    if (!state->file)
        return fail(TranslatableText("Playback", QT_TRANSLATE_NOOP("Playback", "Cannot play “%1”: %2"))
                        .arg(info.fileName(), QString::fromUtf8(sf_strerror(nullptr))));
    if (state->info.channels <= 0 || state->info.samplerate <= 0)
        return fail(TranslatableText("Playback",
                                     QT_TRANSLATE_NOOP("Playback", "Cannot play “%1”: it holds no audio."))
                        .arg(info.fileName()));
    state->capacity = static_cast<std::size_t>(state->info.samplerate / 2 + 1) *
                      static_cast<std::size_t>(state->info.channels);
    return std::unique_ptr<SoundFileReader>(new SoundFileReader(std::move(state)));
}

SoundFileReader::~SoundFileReader()
{
    {
        std::lock_guard lock(state_->callbackMutex);
        state_->more = nullptr;
    }
    std::unique_lock lock(state_->mutex);
    state_->quit = true;
    state_->changed.notify_all();
    // The thread holds the state too: when it does not end in time, the last of the two to
    // let go of it closes the file.
    state_->changed.wait_for(lock, std::chrono::milliseconds(patienceMs), [&] { return state_->threadDone; });
}

int SoundFileReader::rate() const
{
    return state_->info.samplerate;
}

int SoundFileReader::channels() const
{
    return state_->info.channels;
}

qint64 SoundFileReader::duration() const
{
    return static_cast<qint64>(state_->info.frames) * 1000 / state_->info.samplerate;
}

void SoundFileReader::start(std::function<void()> more)
{
    {
        std::lock_guard lock(state_->callbackMutex);
        state_->more = std::move(more);
    }
    std::thread([state = state_] { state->run(); }).detach();
}

std::size_t SoundFileReader::take(float *to, std::size_t count)
{
    const auto channels = static_cast<std::size_t>(state_->info.channels);
    std::size_t taken = 0;
    {
        std::lock_guard lock(state_->mutex);
        taken = std::min(count, state_->samples.size()) / channels * channels;
        std::copy_n(state_->samples.begin(), taken, to);
        state_->samples.erase(state_->samples.begin(),
                              state_->samples.begin() + static_cast<std::ptrdiff_t>(taken));
    }
    if (taken > 0)
        state_->changed.notify_all();
    return taken;
}

std::size_t SoundFileReader::available() const
{
    std::lock_guard lock(state_->mutex);
    return state_->samples.size();
}

bool SoundFileReader::finished() const
{
    std::lock_guard lock(state_->mutex);
    return state_->ended && !state_->failure && state_->samples.empty();
}

std::optional<TranslatableText> SoundFileReader::failure() const
{
    std::lock_guard lock(state_->mutex);
    return state_->failure;
}

} // namespace platform
