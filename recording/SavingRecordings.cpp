#include "recording/SavingRecordings.h"

#include "platform/FileIdentity.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

QString samePath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The path through the folder's canonical path (links resolved), or nothing when the folder
// cannot be resolved.
QString throughCanonicalFolder(const QString &path)
{
    const QFileInfo file(path);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(file.fileName());
}

// Whether `a` and `b` name one file: the same path, the same name in the same folder however it
// is reached, or, once the file exists, the same file.
bool sameFile(const QString &a, const QString &b)
{
    if (samePath(a) == samePath(b))
        return true;
    const QString canonicalA = throughCanonicalFolder(a);
    return (!canonicalA.isEmpty() && canonicalA == throughCanonicalFolder(b)) || platform::isSameFile(a, b);
}

} // namespace

SavingRecordings::SavingRecordings(QObject *parent) : QObject(parent)
{
    connect(&clock, &QTimer::timeout, this, [this] {
        shown = true;
        clock.setInterval(refreshMilliseconds);
        emit changed();
    });
}

SavingRecordings::~SavingRecordings() = default;

void SavingRecordings::save(std::unique_ptr<Recorder> recorder, const QString &path, bool failureTold)
{
    Recorder *stopped = recorder.get();
    connect(
        stopped, &Recorder::saved, this,
        [this, stopped](bool complete, const TranslatableText &failure) {
            recorderSaved(stopped, complete, failure);
        },
        Qt::QueuedConnection);
    // The file may yet take another name than the one chosen.
    connect(
        stopped, &Recorder::fileMoved, this,
        [this, stopped](const QString &moved) {
            for (Saving &s : saving) {
                if (s.recorder.get() == stopped)
                    s.path = samePath(moved);
            }
        },
        Qt::QueuedConnection);
    saving.push_back({std::move(recorder), samePath(path), failureTold});
    stopped->stop();
    if (!clock.isActive())
        clock.start(graceMilliseconds);
}

bool SavingRecordings::holds(const QString &path) const
{
    return std::any_of(saving.begin(), saving.end(), [&](const Saving &s) { return sameFile(s.path, path); });
}

double SavingRecordings::secondsToSave() const
{
    double seconds = 0;
    for (const Saving &s : saving)
        seconds += s.recorder->secondsToSave();
    return seconds;
}

bool SavingRecordings::waitForAll(QList<TranslatableText> *failures)
{
    bool complete = true;
    for (Saving &s : saving) {
        TranslatableText failure;
        if (!s.recorder->waitUntilSaved(&failure)) {
            complete = false;
            if (failures)
                failures->append(failure);
        }
    }
    return complete;
}

void SavingRecordings::recorderSaved(Recorder *recorder, bool complete, const TranslatableText &failure)
{
    const auto found = std::find_if(saving.begin(), saving.end(),
                                    [&](const Saving &s) { return s.recorder.get() == recorder; });
    if (found == saving.end())
        return;
    // Told already when the recording ended by itself.
    const bool untold = !complete && !found->failureTold;
    const SavedFile file{found->path, recorder->currentTime(), complete, failure, found->failureTold};
    saving.erase(found);
    emit fileSaved(file);
    if (untold)
        emit saveFailed(failure);
    if (!saving.empty()) {
        emit changed();
        return;
    }
    clock.stop();
    shown = false;
    emit changed();
    emit allSaved();
}
