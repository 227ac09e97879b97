#include "platform/playback/qt/QtAudioPlayer.h"

#include "platform/Log.h"
#include "platform/playback/SoundFileReader.h"
#include "platform/playback/qt/QtPlaybackStream.h"

#include <QThread>

namespace platform {

QtAudioPlayer::QtAudioPlayer(QObject *parent) : AudioPlayer(parent), thread_(new QThread)
{
    thread_->setObjectName(QStringLiteral("playback"));
    thread_->start();
}

QtAudioPlayer::~QtAudioPlayer()
{
    release();
    thread_->quit();
    // A thread still waiting on the sound system is left to the end of the process.
    if (thread_->wait(static_cast<unsigned long>(patience.count())))
        delete thread_;
}

bool QtAudioPlayer::play(const QString &path, TranslatableText *error)
{
    stop();
    std::unique_ptr<SoundFileReader> reader = SoundFileReader::open(path, error);
    if (!reader)
        return false;
    file_ = path;
    duration_ = reader->duration();
    const std::uint64_t generation = ++generation_;
    stream_ = new QtPlaybackStream(std::move(reader));
    stream_->moveToThread(thread_);
    connect(stream_, &QtPlaybackStream::ended, this,
            [this, generation](const TranslatableText &failure) { ended(generation, failure); });
    QMetaObject::invokeMethod(stream_, &QtPlaybackStream::start, Qt::QueuedConnection);
    emit playingChanged(true);
    return true;
}

void QtAudioPlayer::stop()
{
    if (release())
        emit playingChanged(false);
}

bool QtAudioPlayer::release()
{
    if (!stream_)
        return false;
    ++generation_;
    stream_->disconnect(this);
    stream_->deleteLater(); // on its thread, after whatever it is doing
    stream_ = nullptr;
    file_.clear();
    duration_ = 0;
    return true;
}

void QtAudioPlayer::ended(std::uint64_t generation, const TranslatableText &failure)
{
    if (generation != generation_ || !release())
        return;
    if (!failure.isEmpty()) {
        Log::diagnostic(failure.english());
        emit failed(failure);
    }
    emit playingChanged(false);
}

bool QtAudioPlayer::isPlaying() const
{
    return stream_ != nullptr;
}

QString QtAudioPlayer::file() const
{
    return file_;
}

qint64 QtAudioPlayer::duration() const
{
    return duration_;
}

qint64 QtAudioPlayer::position() const
{
    return stream_ ? stream_->position() : 0;
}

} // namespace platform
