#include "recording/Playback.h"

#include "platform/Log.h"
#include "recording/ElapsedTime.h"
#include "recording/RecordingController.h"

#include <QFileInfo>

Playback::Playback(std::unique_ptr<platform::AudioPlayer> player, RecordingController &recording,
                   QObject *parent)
    : QObject(parent), player(std::move(player)), recording(recording)
{
    progressClock.setInterval(refreshMilliseconds);
    connect(&progressClock, &QTimer::timeout, this, &Playback::progressed);
    connect(this->player.get(), &platform::AudioPlayer::playingChanged, this, [this](bool playing) {
        if (playing)
            progressClock.start();
        else
            progressClock.stop();
        emit changed();
    });
    connect(this->player.get(), &platform::AudioPlayer::failed, this, [this](const TranslatableText &reason) {
        Log::diagnostic(QStringLiteral("playback failed: ") + reason.english());
        emit userMessage(tr("Could not play the recording: %1").arg(reason.translated()));
    });
    // The microphone would hear the loudspeakers.
    connect(&recording, &RecordingController::stateChanged, this, [this](RecordingController::State state) {
        if (state == RecordingController::State::Recording)
            stop();
    });
}

Playback::~Playback()
{
    // A player that stops as it goes tells no one.
    player->disconnect(this);
}

void Playback::play(const QString &path)
{
    if (recording.state() != RecordingController::State::Ready) {
        emit userMessage(tr("Stop the recording to play “%1”.").arg(QFileInfo(path).fileName()));
        return;
    }
    TranslatableText error;
    if (!player->play(path, &error)) {
        Log::diagnostic(QStringLiteral("cannot play %1: %2").arg(path, error.english()));
        emit userMessage(tr("Could not play “%1”: %2").arg(QFileInfo(path).fileName(), error.translated()));
    }
    emit changed();
}

void Playback::stop()
{
    if (player->isPlaying() || !player->file().isEmpty())
        player->stop();
    emit changed();
}

void Playback::toggle(const QString &path)
{
    if (isPlaying(path))
        stop();
    else
        play(path);
}

bool Playback::isPlaying(const QString &path) const
{
    return player->isPlaying() && player->file() == path;
}

QString Playback::file() const
{
    return player->isPlaying() ? player->file() : QString();
}

QString Playback::progressText() const
{
    if (!player->isPlaying())
        return {};
    return formatElapsedTime(player->position() / 1000.0) + QStringLiteral(" / ") +
           formatElapsedTime(player->duration() / 1000.0);
}
