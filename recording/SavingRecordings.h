#pragma once

#include "engine/Recorder.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QTimer;

// Recordings that have been stopped while their files are still being completed in the
// background (a slow or stalled disk), and the text that tells the user how much is left. A file
// completed within the first moment is never announced, so a healthy disk shows nothing.
class SavingRecordings : public QObject {
    Q_OBJECT
public:
    static constexpr int graceMilliseconds = 250;
    static constexpr int refreshMilliseconds = 1000;

    // What a recording that ended by itself has told the user already of its file.
    struct Told {
        bool complete = true;
        QString failure; // why it is not complete
    };

    explicit SavingRecordings(QObject *parent = nullptr);
    ~SavingRecordings() override;

    // Stops `recorder` and keeps it until its file at `path` is complete. `told`: the recording
    // ended by itself, and this is what the user was told of its file.
    void save(std::unique_ptr<Recorder> recorder, const QString &path, std::optional<Told> told = {});
    bool isEmpty() const { return saving.empty(); }
    // Whether the file at `path` is one of those being saved, however the path reaches it.
    bool holds(const QString &path) const;
    // Seconds of audio not yet written, in all of them.
    double secondsToSave() const;
    // "Saving… 12 s of audio still to write" (and, with a quit waiting, what that means); empty
    // when there is nothing to tell.
    QString text() const;
    // The application quits once everything is saved: the text says so.
    void setQuitPending(bool pending);
    // Waits for every file, telling no one: for when nothing else can go on. Returns whether all
    // are complete, and if not, why in `*failures` (when given).
    bool waitForAll(QString *failures = nullptr);

signals:
    void textChanged(const QString &text);
    // A file could not be completed, for `failure`, not yet told to the user.
    void saveFailed(const QString &failure);
    // Nothing is being saved any more.
    void allSaved();

private:
    struct Saving {
        std::unique_ptr<Recorder> recorder;
        QString path;
        std::optional<Told> told;
    };
    void recorderSaved(Recorder *recorder, bool complete, const QString &failure);
    void refresh();

    std::vector<Saving> saving;
    std::unique_ptr<QTimer> clock; // the first moment's grace, then the refresh of the text
    bool shown = false;
    bool quitPending = false;
    QString shownText;
};
