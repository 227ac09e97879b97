#include "engine/FileWriter.h"

#include "engine/BenchTrace.h"
#include "engine/LeftoverRecordings.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The header is rewritten after at most this much audio, so a killed process leaves a file that
// plays up to a fraction of a second before the kill. Rewriting it is a small write at the start
// of the file: a handful per second costs nothing.
constexpr int kHeaderUpdatesPerSecond = 5;
// What a power cut may take at most, besides what the disk had not been handed yet: under ten
// seconds. A sync costs a few milliseconds of CPU time in the kernel.
constexpr auto kSyncInterval = std::chrono::seconds(9);
// How long a writer with nothing to do sleeps when nothing wakes it.
constexpr auto kIdleWake = std::chrono::hours(1);

TranslatableText shownPath(const QString &path)
{
    return TranslatableText::verbatim(QDir::toNativeSeparators(path));
}

TranslatableText recordingText(const char *source)
{
    return {"Recording", source};
}

} // namespace

FileWriter::FileWriter(const QString &path, int rate, AudioBuffer &buffer, Events events)
    : buffer_(buffer), path_(path), rate_(rate), events_(std::move(events)),
      lastSync_(std::chrono::steady_clock::now())
{
    thread_ = std::thread([this] { run(); });
}

FileWriter::~FileWriter()
{
    if (onWriterThread()) {
        // Destroyed from a failed() handler on this very thread, which returns right after.
        thread_.detach();
        return;
    }
    {
        std::lock_guard lock(mutex_);
        silent_ = true; // whoever listened is going away
        finishRequested_ = true;
    }
    buffer_.close();
    if (thread_.joinable())
        thread_.join();
}

FileWriter::Creation FileWriter::waitForFile(std::chrono::milliseconds wait, TranslatableText *error)
{
    std::unique_lock lock(mutex_);
    creationSettled_.wait_for(lock, wait, [this] { return creation_ != Creation::Pending; });
    if (creation_ == Creation::Failed && error)
        *error = creationError_;
    else if (creation_ == Creation::Pending)
        creationAwaited_ = false;
    return creation_;
}

void FileWriter::requestSync()
{
    {
        std::lock_guard lock(mutex_);
        syncRequested_ = true;
    }
    buffer_.wake();
}

void FileWriter::inputLost(const TranslatableText &reason)
{
    {
        std::lock_guard lock(mutex_);
        if (!lostReason_)
            lostReason_ = reason;
    }
    buffer_.close();
}

void FileWriter::finish(bool keep)
{
    bool answerNow = false;
    bool complete = false;
    TranslatableText failure;
    {
        std::lock_guard lock(mutex_);
        if (finishRequested_)
            return;
        finishRequested_ = true;
        keep_ = keep;
        // The writer ended by itself already: nobody else will answer.
        answerNow = concluded_ && !silent_;
        complete = complete_;
        failure = failure_;
    }
    buffer_.close();
    if (answerNow && events_.finished)
        events_.finished(complete, failure);
}

bool FileWriter::wait(TranslatableText *failure)
{
    if (!onWriterThread() && thread_.joinable())
        thread_.join();
    std::lock_guard lock(mutex_);
    if (!complete_ && failure)
        *failure = failure_;
    return complete_;
}

void FileWriter::run()
{
    if (!create())
        return;
    while (true) {
        // Audio, a request, or the periodic sync of what is not synced yet wakes the writer.
        buffer_.waitForAudio(sinceSync_ > 0 ? lastSync_ + kSyncInterval
                                            : std::chrono::steady_clock::now() + kIdleWake);
        if (!writeQueued())
            return;
        reportGaps(false);
        bool syncNow = false;
        std::optional<TranslatableText> lost;
        bool finishing = false;
        {
            std::lock_guard lock(mutex_);
            syncNow = std::exchange(syncRequested_, false);
            lost = lostReason_;
            finishing = finishRequested_;
        }
        if (lost || finishing) {
            // Audio queued after the request is written too: close() stopped the buffer.
            if (!writeQueued())
                return;
            end(lost);
            return;
        }
        if (file_->committed() && (syncNow || (sinceSync_ > 0 && due(std::chrono::steady_clock::now())))) {
            QString failure;
            if (!file_->updateHeader(&failure)) {
                fail(failure);
                return;
            }
            sinceHeader_ = 0;
            if (!file_->sync(&failure)) {
                fail(failure);
                return;
            }
            sinceSync_ = 0;
            lastSync_ = std::chrono::steady_clock::now();
        }
    }
}

// Creates the file, which on a slow disk takes as long as the disk does. False when it could not
// be created: the recording ends there.
bool FileWriter::create()
{
    TranslatableText error;
    std::unique_ptr<RecordingFile> file = RecordingFile::create(path_, rate_, &error);
    bool awaited = false;
    {
        std::lock_guard lock(mutex_);
        creation_ = file ? Creation::Created : Creation::Failed;
        creationError_ = error;
        awaited = creationAwaited_;
        file_ = std::move(file);
    }
    creationSettled_.notify_all();
    if (!file_) {
        buffer_.close();
        if (awaited) {
            // The creator tells the user, and no recorder is made.
            std::lock_guard lock(mutex_);
            concluded_ = true;
            complete_ = false;
            failure_ = error;
        } else {
            conclude(false, error, error, false);
        }
        return false;
    }
    return true;
}

// Recordings a crash left hidden in the folder get names beside this one.
void FileWriter::recoverLeftovers()
{
    const QList<TranslatableText> told = LeftoverRecordings::recover(QFileInfo(filePath()).absolutePath());
    if (events_.told) {
        for (const TranslatableText &text : told)
            events_.told(text);
    }
}

// The file takes its name; when it had to take another, the user is told where it is.
bool FileWriter::commitFile(QString *failure)
{
    if (file_->committed())
        return true;
    if (!file_->commit(failure))
        return false;
    if (!file_->movedBecause().isEmpty()) {
        if (events_.moved)
            events_.moved(file_->path());
        if (events_.told)
            events_.told(
                recordingText(
                    QT_TRANSLATE_NOOP(
                        "Recording",
                        "The recording could not be saved as “%1” (%2), so it is being saved as “%3”."))
                    .arg(shownPath(path_), TranslatableText::verbatim(file_->movedBecause()))
                    .arg(shownPath(file_->path())));
    }
    return true;
}

// Where the file is, or is to be.
QString FileWriter::filePath() const
{
    return file_ ? file_->path() : path_;
}

bool FileWriter::due(std::chrono::steady_clock::time_point now)
{
    return now - lastSync_ >= kSyncInterval;
}

// Writes what is queued, keeping the header current. False when the recording ended on a failure.
bool FileWriter::writeQueued()
{
    for (auto samples = buffer_.front(); !samples.empty(); samples = buffer_.front()) {
        const bool first = file_->frames() == 0;
        QString failure;
        const bool written = file_->write(samples, &failure);
        written_ = file_->frames();
        if (!written) {
            fail(failure);
            return false;
        }
        buffer_.consume(samples.size());
        sinceHeader_ += static_cast<std::int64_t>(samples.size());
        sinceSync_ += static_cast<std::int64_t>(samples.size());
        if (first) {
            benchtrace::mark("first sample written");
            if (!commitFile(&failure)) {
                fail(failure);
                return false;
            }
            sinceHeader_ = 0;
            sinceSync_ = 0;
            lastSync_ = std::chrono::steady_clock::now();
            // The recording has started, and whoever listens to it does by now.
            recoverLeftovers();
        } else if (sinceHeader_ >= rate_ / kHeaderUpdatesPerSecond) {
            if (!file_->updateHeader(&failure)) {
                fail(failure);
                return false;
            }
            sinceHeader_ = 0;
        }
        reportGaps(false);
        if (due(std::chrono::steady_clock::now())) {
            if (!file_->sync(&failure)) {
                fail(failure);
                return false;
            }
            sinceSync_ = 0;
            lastSync_ = std::chrono::steady_clock::now();
        }
    }
    return true;
}

void FileWriter::reportGaps(bool all)
{
    for (const AudioBuffer::Gap &gap : buffer_.takeGapsReached(written_, all)) {
        if (events_.audioMissing)
            events_.audioMissing(gap);
    }
}

TranslatableText FileWriter::startFailure(const TranslatableText &reason) const
{
    if (!file_->replacesExisting())
        return reason;
    return reason.followedBy(
        recordingText(QT_TRANSLATE_NOOP("Recording", "The previous recording in “%1” was kept."))
            .arg(shownPath(path_)));
}

// A write, header update, sync or commit failed: the file is completed with everything written
// before, unless the recording never got to its first audio (then the chosen path is untouched).
void FileWriter::fail(const QString &reason)
{
    buffer_.closeAt(file_->frames());
    const TranslatableText why = TranslatableText::verbatim(reason);
    TranslatableText text;
    bool saved = false;
    if (!file_->committed()) {
        file_->discard();
        text = startFailure(recordingText(QT_TRANSLATE_NOOP("Recording", "Cannot record into “%1”: %2."))
                                .arg(shownPath(path_), why));
    } else {
        text = recordingText(QT_TRANSLATE_NOOP("Recording", "Cannot write to “%1”: %2."))
                   .arg(shownPath(filePath()), why);
        QString completion;
        if (file_->complete(&completion))
            saved = true;
        else
            text = text.followedBy(
                recordingText(QT_TRANSLATE_NOOP("Recording", "The file could not be completed either: %1."))
                    .arg(completion));
    }
    conclude(false, text, text, saved);
}

// Everything queued is written: the file is completed (stop) or the input went away.
void FileWriter::end(std::optional<TranslatableText> lostReason)
{
    bool keep = false;
    {
        std::lock_guard lock(mutex_);
        keep = keep_;
    }
    const TranslatableText lostText = lostReason.value_or(TranslatableText());
    bool complete = true;
    TranslatableText failure;
    QString why;
    if (!file_->committed() && file_->frames() == 0 && (lostReason || !keep)) {
        // Nothing was recorded: no file is left behind, and the chosen path is untouched.
        file_->discard();
        if (lostReason) {
            complete = false;
            failure = startFailure(
                lostText.followedBy(recordingText(QT_TRANSLATE_NOOP("Recording", "Nothing was recorded."))));
        }
    } else if (!commitFile(&why)) {
        file_->discard();
        complete = false;
        failure = startFailure(recordingText(QT_TRANSLATE_NOOP("Recording", "Cannot record into “%1”: %2."))
                                   .arg(shownPath(path_), TranslatableText::verbatim(why)));
    } else if (!file_->complete(&why)) {
        complete = false;
        failure = recordingText(QT_TRANSLATE_NOOP("Recording", "Cannot complete “%1”: %2."))
                      .arg(shownPath(filePath()), TranslatableText::verbatim(why));
        if (lostReason)
            failure = lostText.followedBy(failure);
    }
    conclude(complete, failure, complete ? lostText : failure, complete);
}

// The writer's last word: finished() when the end was asked for, failed() when the recording
// ended by itself. `complete` and `failure` are what finished() says, now or when finish() comes;
// `reason` and `saved` are what failed() says. A file completed with everything written before a
// failure is no failure to a later finish().
void FileWriter::conclude(bool complete, const TranslatableText &failure, const TranslatableText &reason,
                          bool saved)
{
    bool asked = false;
    bool silent = false;
    {
        std::lock_guard lock(mutex_);
        concluded_ = true;
        asked = finishRequested_;
        silent = silent_;
        complete_ = complete || (!asked && saved);
        failure_ = complete_ ? TranslatableText() : failure;
    }
    reportGaps(true);
    if (silent)
        return;
    if (asked) {
        if (events_.finished)
            events_.finished(complete, failure);
    } else if (events_.failed) {
        events_.failed(reason, saved);
    }
}
