#include "platform/playback/qt/QtPlaybackStream.h"

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

const TranslatableText kNoOutput("Playback",
                                 QT_TRANSLATE_NOOP("Playback", "Cannot play: no sound output found."));
const TranslatableText
    kOutputGone("Playback", QT_TRANSLATE_NOOP("Playback", "Playback stopped: the sound output went away."));

// How much audio the sink is asked to hold: the delay of the first sound.
constexpr qint64 kBufferUs = 100000;
constexpr std::chrono::milliseconds kTick{100};
// How long a sink may take none of the audio waiting for it before it counts as stopped.
constexpr int kStallTicks = 20;

} // namespace

// The reader's samples, as the bytes the sink pulls.
class QtPlaybackStream::SampleSource : public QIODevice {
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

QtPlaybackStream::QtPlaybackStream(std::unique_ptr<SoundFileReader> reader)
    : reader_(std::move(reader)), tail_(this), ticks_(this)
{
    sinceStart_.start();
    tail_.setSingleShot(true);
    connect(&tail_, &QTimer::timeout, this, [this] { end({}); });
    ticks_.setInterval(kTick);
    connect(&ticks_, &QTimer::timeout, this, &QtPlaybackStream::tick);
}

QtPlaybackStream::~QtPlaybackStream()
{
    silence();
}

void QtPlaybackStream::start()
{
    reader_->start([] {}); // the sink pulls what is there
    QAudioFormat format;
    format.setSampleRate(reader_->rate());
    format.setChannelCount(reader_->channels());
    format.setSampleFormat(QAudioFormat::Float);
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull()) {
        end(kNoOutput);
        return;
    }
    if (!output.isFormatSupported(format)) {
        end(TranslatableText(
                "Playback",
                QT_TRANSLATE_NOOP("Playback", "Cannot play: the sound output takes no %1 channels at %2 Hz."))
                .arg(QString::number(format.channelCount()), QString::number(format.sampleRate())));
        return;
    }
    source_ = std::make_unique<SampleSource>(*reader_);
    source_->open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(output, format);
    sink_->setBufferSize(format.bytesForDuration(kBufferUs));
    connect(sink_.get(), &QAudioSink::stateChanged, this, &QtPlaybackStream::sinkStateChanged);
    sink_->start(source_.get());
    ticks_.start();
}

void QtPlaybackStream::sinkStateChanged()
{
    if (sink_->state() == QAudio::StoppedState && sink_->error() != QAudio::NoError) {
        end(kOutputGone);
        return;
    }
    if (const std::optional<TranslatableText> failure = reader_->failure()) {
        end(*failure);
        return;
    }
    if (sink_->state() == QAudio::IdleState && reader_->finished() && !tail_.isActive())
        tail_.start(static_cast<int>(buffered()) + 20);
}

void QtPlaybackStream::tick()
{
    const qint64 processed = sink_->processedUSecs();
    // What the sink has processed is what the output has played: what it still holds is not in it.
    heard_ = std::clamp<qint64>(processed / 1000, 0, reader_->duration());
    tickedAt_ = sinceStart_.elapsed();
    const bool advancing = processed != lastProcessed_;
    advancing_ = advancing;
    if (advancing || reader_->available() == 0) {
        lastProcessed_ = processed;
        stalledTicks_ = 0;
        return;
    }
    if (++stalledTicks_ >= kStallTicks)
        end(kOutputGone);
}

void QtPlaybackStream::end(const TranslatableText &failure)
{
    if (over_)
        return;
    over_ = true;
    ticks_.stop();
    tail_.stop();
    silence();
    emit ended(failure);
}

void QtPlaybackStream::silence()
{
    if (!sink_)
        return;
    sink_->disconnect(this);
    // reset() drops what the sink holds at once. stop() would play it out first, and Qt 6.8's
    // PulseAudio sink, whose stream the server has killed, aborts the process in stop() waiting
    // for that.
    sink_->reset();
}

qint64 QtPlaybackStream::position() const
{
    // The output plays on between two ticks: what was heard at the last one, and the time since,
    // by a tick at most.
    const qint64 since = advancing_ ? std::min<qint64>(sinceStart_.elapsed() - tickedAt_, kTick.count()) : 0;
    return std::min(heard_ + since, reader_->duration());
}

qint64 QtPlaybackStream::buffered() const
{
    const qint64 held = std::max<qint64>(0, sink_->bufferSize() - sink_->bytesFree());
    return sink_->format().durationForBytes(static_cast<qint32>(held)) / 1000;
}

} // namespace platform
