#pragma once

#include "engine/AudioBuffer.h"
#include "engine/RecordingFile.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// The thread that does all of a recording's disk work: it creates the file, then moves audio
// from the buffer into it, each fragment as soon as it is queued, the header a few times a
// second, a sync every few seconds, and at the end completes it. The file takes the chosen path
// once its first audio is on disk. Any failure ends the recording with the file completed as far
// as it can be. Nobody else waits for the disk: finish() only asks.
class FileWriter {
public:
    struct Events {
        // Audio missing from the recording, once the writer has reached its place.
        std::function<void(const AudioBuffer::Gap &gap)> audioMissing;
        // The recording ended by itself before finish() was asked. Called on the writer thread,
        // once.
        std::function<void(const TranslatableText &reason, bool saved)> failed;
        // After finish(): whether the file is complete with everything queued, and if not, why.
        // Called once, on the writer thread, or within finish() when the writer had ended already.
        std::function<void(bool complete, const TranslatableText &failure)> finished;
        // Something the user should know that does not end the recording (a recording a crash
        // left in the folder, dealt with once this one has its first audio on disk). Called on
        // the writer thread.
        std::function<void(const TranslatableText &text)> told;
        // The file took `path` instead of the chosen one (that name could not be had: see
        // RecordingFile::commit()). Called on the writer thread, before told() says so.
        std::function<void(const QString &path)> moved;
    };

    // Starts the writer thread, which creates the file for `path` first.
    FileWriter(const QString &path, int rate, AudioBuffer &buffer, Events events);
    // Finishes the file if nobody did, and waits for the writer.
    ~FileWriter();
    FileWriter(const FileWriter &) = delete;
    FileWriter &operator=(const FileWriter &) = delete;

    enum class Creation { Pending, Created, Failed };
    // Waits at most `wait` for the file to be created. On Failed, `*error` (when given) says why;
    // once this has returned Pending, a later failure to create it ends the recording through
    // failed().
    Creation waitForFile(std::chrono::milliseconds wait, TranslatableText *error);

    // Header and sync once what is queued now is written (a pause). Does not wait.
    void requestSync();
    // The input is gone: the file is completed with what was queued, then failed() follows.
    void inputLost(const TranslatableText &reason);
    // Asks for everything queued to be written and the file completed, and returns at once;
    // finished() follows. `keep`: the recording was started, so even an empty file takes the
    // chosen path.
    void finish(bool keep);
    // Waits for the writer to end (after finish() or a failure). Returns what finished() says:
    // whether the file is complete, and if not, why in `*failure` (when given).
    bool wait(TranslatableText *failure);

    bool onWriterThread() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    void run();
    bool create();
    bool writeQueued();
    void recoverLeftovers();
    void reportGaps(bool all);
    bool due(std::chrono::steady_clock::time_point now);
    void fail(const QString &reason);
    void end(std::optional<TranslatableText> lostReason);
    void conclude(bool complete, const TranslatableText &failure, const TranslatableText &reason, bool saved);
    TranslatableText startFailure(const TranslatableText &reason) const;
    bool commitFile(QString *failure);
    QString filePath() const;

    std::unique_ptr<RecordingFile> file_;
    AudioBuffer &buffer_;
    const QString path_;
    const int rate_;
    Events events_;

    std::mutex mutex_; // guards what follows, up to the thread
    std::condition_variable creationSettled_;
    Creation creation_ = Creation::Pending;
    TranslatableText creationError_;
    bool creationAwaited_ = true; // waitForFile() still answers for a failed creation
    bool syncRequested_ = false;
    bool finishRequested_ = false;
    bool keep_ = false;
    bool concluded_ = false; // the writer has said its last word
    bool silent_ = false;    // being destroyed: nobody to tell
    std::optional<TranslatableText> lostReason_;
    bool complete_ = false; // what finished() says, once concluded
    TranslatableText failure_;

    std::atomic<std::int64_t> written_{0};
    std::int64_t sinceHeader_ = 0;
    std::int64_t sinceSync_ = 0;
    std::chrono::steady_clock::time_point lastSync_;
    std::thread thread_;
};
