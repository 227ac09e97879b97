#pragma once

#include <QObject>
#include <QString>

#include "platform/TranslatableText.h"

// What the recording controller asks of the recorder of one recording.
class Recorder : public QObject {
    Q_OBJECT
public:
    ~Recorder() override = default;

    virtual void setMeteringEnabled(bool enabled) = 0;
    virtual bool record() = 0;
    virtual void pause() = 0;
    // Ends the recording: capture stops now, and the file is completed with everything captured
    // up to now (written, header, synced, closed) without the caller waiting for the disk;
    // saved() follows. Idempotent.
    virtual void stop() = 0;
    // Stops, then waits until the file is done with. Returns whether it is complete, and if not,
    // why in `*failure` (when given). For when nothing else can go on (the display is gone).
    virtual bool waitUntilSaved(TranslatableText *failure = nullptr) = 0;
    // Seconds of audio captured but not in the file yet (a slow disk).
    virtual double secondsToSave() const = 0;
    // Seconds of audio in the file; stands still while paused.
    virtual double currentTime() const = 0;
    // The peak of the samples since the previous call, in dBFS: 0 at full scale, -160 for
    // silence. When none arrived since (audio comes a few times a second), the previous reading
    // stands.
    virtual float takePeakLevel() = 0;

signals:
    // The recording ended by itself (disk full, write or sync error, device lost). `reason` is
    // the real cause (the system's error text). `saved` tells whether the file was completed
    // with everything written before the failure. May be emitted on any thread: connect with a
    // queued connection.
    void failed(const TranslatableText &reason, bool saved);
    // Audio could not be kept: `seconds` of it are missing `atSeconds` into the recording (a
    // disk that stalled past the buffer, a sound server that restarted). The recording goes on.
    // Emitted once per gap, when its length is known. May be emitted on any thread.
    void audioMissing(double seconds, double atSeconds);
    // The recording goes on from another microphone, `name` as the desktop shows it. May be
    // emitted on any thread.
    void inputChanged(const QString &name);
    // After stop(): whether the file is complete, and if not, why (`failure`). Emitted once. May
    // be emitted on any thread.
    void saved(bool complete, const TranslatableText &failure);
    // Something the user should know that does not end the recording (an earlier recording
    // left behind by a crash, found in the folder). May be emitted on any thread.
    void notice(const TranslatableText &text);
    // The file is at `path`, not where the recording was created for (that name could not be
    // had when the first audio reached the disk); notice() tells the user. May be emitted on any
    // thread.
    void fileMoved(const QString &path);
};
