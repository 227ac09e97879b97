#include "platform/playback/qt/QtAudioPlayer.h"

#include "platform/Log.h"
#include "platform/playback/SoundFileReader.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {

namespace {

const char *const kNoOutput = "Cannot play: no sound output found.";
const char *const kOutputGone = "Playback stopped: the sound output went away.";

// How much audio the sink is asked to hold: the delay of the first sound.
constexpr qint64 kBufferUs = 100000;
// How long a sink may take none of the audio waiting for it before it counts as stopped.
constexpr int kStallTicks = 4;
constexpr std::chrono::milliseconds kWatchInterval{500};

} // namespace

// The reader's samples, as the bytes the sink pulls.
class QtAudioPlayer::SampleSource : public QIODevice {
public:
    explicit SampleSource(SoundFileReader &reader) : reader_(reader) {}
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 size) override
    {
        samples_.resize(static_cast<std::size_t>(size) / sizeof(float));
        const std::size_t taken = reader_.take(samples_.data(), samples_.size());
        std::memcpy(data, samples_.data(), taken * sizeof(float));
        return static_cast<qint64>(taken * sizeof(float));
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    SoundFileReader &reader_;
    std::vector<float> samples_;
};

QtAudioPlayer::QtAudioPlayer(QObject *parent) : AudioPlayer(parent)
{
    tail_.setSingleShot(true);
    connect(&tail_, &QTimer::timeout, this, [this] { end({}); });
    watch_.setInterval(kWatchInterval);
    connect(&watch_, &QTimer::timeout, this, &QtAudioPlayer::checkProgress);
}

QtAudioPlayer::~QtAudioPlayer()
{
    if (sink_)
        sink_->disconnect(this);
}

bool QtAudioPlayer::play(const QString &path, QString *error)
{
    stop();
    std::unique_ptr<SoundFileReader> reader = SoundFileReader::open(path, error);
    if (!reader)
        return false;
    reader_ = std::move(reader);
    reader_->start([] {}); // the sink pulls what is there
    file_ = path;
    duration_ = reader_->duration();
    const std::uint64_t generation = ++generation_;
    emit playingChanged(true);

    QAudioFormat format;
    format.setSampleRate(reader_->rate());
    format.setChannelCount(reader_->channels());
    format.setSampleFormat(QAudioFormat::Float);
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    QString failure;
    if (output.isNull())
        failure = QString::fromUtf8(kNoOutput);
    else if (!output.isFormatSupported(format))
        failure = QStringLiteral("Cannot play: the sound output takes no %1 channels at %2 Hz.")
                      .arg(format.channelCount())
                      .arg(format.sampleRate());
    if (!failure.isEmpty()) {
        // As a sound server out of reach: after play() has returned.
        QMetaObject::invokeMethod(
            this,
            [this, generation, failure] {
                if (generation == generation_)
                    end(failure);
            },
            Qt::QueuedConnection);
        return true;
    }
    source_ = std::make_unique<SampleSource>(*reader_);
    source_->open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(output, format);
    sink_->setBufferSize(format.bytesForDuration(kBufferUs));
    connect(sink_.get(), &QAudioSink::stateChanged, this, &QtAudioPlayer::sinkStateChanged);
    sink_->start(source_.get());
    lastProcessed_ = 0;
    stalledTicks_ = 0;
    watch_.start();
    return true;
}

void QtAudioPlayer::checkProgress()
{
    if (!sink_)
        return;
    const qint64 processed = sink_->processedUSecs();
    if (processed != lastProcessed_ || reader_->available() == 0) {
        lastProcessed_ = processed;
        stalledTicks_ = 0;
        return;
    }
    if (++stalledTicks_ >= kStallTicks)
        end(QString::fromUtf8(kOutputGone));
}

void QtAudioPlayer::sinkStateChanged()
{
    if (!sink_)
        return;
    if (sink_->state() == QAudio::StoppedState && sink_->error() != QAudio::NoError) {
        end(QString::fromUtf8(kOutputGone));
        return;
    }
    if (const std::optional<QString> failure = reader_->failure()) {
        end(*failure);
        return;
    }
    if (sink_->state() == QAudio::IdleState && reader_->finished() && !tail_.isActive())
        tail_.start(static_cast<int>(buffered()) + 20);
}

void QtAudioPlayer::end(const QString &failure)
{
    if (!release())
        return;
    if (!failure.isEmpty()) {
        Log::diagnostic(failure);
        emit failed(failure);
    }
    emit playingChanged(false);
}

void QtAudioPlayer::stop()
{
    if (release())
        emit playingChanged(false);
}

bool QtAudioPlayer::release()
{
    if (!reader_)
        return false;
    tail_.stop();
    watch_.stop();
    ++generation_;
    if (sink_) {
        sink_->disconnect(this);
        sink_->stop();
        sink_.reset();
    }
    source_.reset();
    reader_.reset();
    file_.clear();
    duration_ = 0;
    return true;
}

bool QtAudioPlayer::isPlaying() const
{
    return reader_ != nullptr;
}

QString QtAudioPlayer::file() const
{
    return file_;
}

qint64 QtAudioPlayer::duration() const
{
    return duration_;
}

qint64 QtAudioPlayer::buffered() const
{
    if (!sink_)
        return 0;
    const qint64 held = std::max<qint64>(0, sink_->bufferSize() - sink_->bytesFree());
    return sink_->format().durationForBytes(static_cast<qint32>(held)) / 1000;
}

qint64 QtAudioPlayer::position() const
{
    if (!sink_)
        return 0;
    const qint64 heard = sink_->processedUSecs() / 1000 - buffered();
    return std::clamp<qint64>(heard, 0, duration_);
}

} // namespace platform
