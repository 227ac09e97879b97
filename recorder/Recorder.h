#pragma once

#include <QObject>
#include <QString>

// What the recorder panel asks of the recorder of one recording.
class Recorder : public QObject {
    Q_OBJECT
public:
    ~Recorder() override = default;

    virtual void setMeteringEnabled(bool enabled) = 0;
    virtual bool prepareToRecord() = 0;
    virtual bool record() = 0;
    virtual void pause() = 0;
    // Completes the file with everything captured up to now. Idempotent.
    virtual void stop() = 0;
    // Seconds of audio in the file; stands still while paused.
    virtual double currentTime() const = 0;
    // Takes the peak of the samples since the previous call; when none arrived since (audio
    // comes a few times a second) the previous reading stands.
    virtual void updateMeters() = 0;
    // dBFS of the peak taken by updateMeters: 0 at full scale, -160 for silence.
    virtual float peakPowerForChannel(int channel) const = 0;

signals:
    // The recording ended by itself (disk full, device lost); the file keeps what was written.
    // May be emitted on any thread: connect with a queued connection.
    void failed(const QString &reason);
};
