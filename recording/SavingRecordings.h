#pragma once

#include "engine/Recorder.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

// Recordings that have been stopped while their files are still being completed in the
// background (a slow or stalled disk), and how much is left of them. A file completed within the
// first moment is never announced, so a healthy disk shows nothing.
class SavingRecordings : public QObject {
    Q_OBJECT
public:
    static constexpr int graceMilliseconds = 250;
    static constexpr int refreshMilliseconds = 1000;

    // What became of a stopped recording's file.
    struct SavedFile {
        QString path;
        double seconds = 0; // of audio in it
        bool complete = false;
        TranslatableText failure;   // why it is not complete
        bool endedByItself = false; // the recording ended by itself, and the user was told
    };

    explicit SavingRecordings(QObject *parent = nullptr);
    ~SavingRecordings() override;

    // Stops `recorder` and keeps it until its file at `path` is complete. `failureTold`: the
    // recording ended by itself, and the user was told what became of its file.
    void save(std::unique_ptr<Recorder> recorder, const QString &path, bool failureTold = false);
    bool isEmpty() const { return saving.empty(); }
    int count() const { return static_cast<int>(saving.size()); }
    // Whether the files still being saved are worth telling: they took longer than the first
    // moment.
    bool announced() const { return shown && !saving.empty(); }
    // Whether the file at `path` is one of those being saved, however the path reaches it.
    bool holds(const QString &path) const;
    // Seconds of audio not yet written, in all of them.
    double secondsToSave() const;
    // Waits for every file, telling no one: for when nothing else can go on. Returns whether all
    // are complete, and if not, why in `*failures` (when given).
    bool waitForAll(QList<TranslatableText> *failures = nullptr);

signals:
    // What there is to tell changed: announced(), count() or secondsToSave().
    void changed();
    // A file was completed, or could not be.
    void fileSaved(const SavingRecordings::SavedFile &file);
    // A file could not be completed, for `failure`, not yet told to the user.
    void saveFailed(const TranslatableText &failure);
    // Nothing is being saved any more.
    void allSaved();

private:
    struct Saving {
        std::unique_ptr<Recorder> recorder;
        QString path;
        bool failureTold = false;
    };
    void recorderSaved(Recorder *recorder, bool complete, const TranslatableText &failure);

    std::vector<Saving> saving;
    QTimer clock; // the first moment's grace, then the refresh of what is told
    bool shown = false;
};
