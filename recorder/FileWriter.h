#pragma once

#include "recorder/AudioBuffer.h"
#include "recorder/RecordingFile.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// The thread that moves audio from the buffer into the recording's file: each fragment as soon
// as it is queued, the header a few times a second, a sync every few seconds. The file takes
// the chosen path once its first audio is on disk. Any failure ends the recording with the
// file completed as far as it can be.
class FileWriter {
public:
    struct Events {
        std::function<void()> firstWritten;
        // Audio missing from the recording, once the writer has reached its place.
        std::function<void(const AudioBuffer::Gap &gap)> audioMissing;
        // The recording ended by itself. Called on the writer thread, once.
        std::function<void(const QString &reason, bool saved)> failed;
    };

    FileWriter(std::unique_ptr<RecordingFile> file, AudioBuffer &buffer, const QString &path, int rate,
               Events events);
    ~FileWriter();
    FileWriter(const FileWriter &) = delete;
    FileWriter &operator=(const FileWriter &) = delete;

    // Header and sync once what is queued now is written (a pause). Does not wait.
    void requestSync();
    // The input is gone: the file is completed with what was queued, then failed() follows.
    void inputLost(const QString &reason);
    // Writes everything queued and completes the file, waiting for it. `keep`: the recording
    // was started, so even an empty file takes the chosen path. Returns why the file is not
    // complete, empty when it is. On the writer thread (from a failed() handler) it does not
    // wait and answers what is known.
    QString finish(bool keep);

    bool onWriterThread() const { return std::this_thread::get_id() == thread_.get_id(); }
    std::int64_t framesWritten() const { return written_.load(); }

private:
    void run();
    bool writeQueued();
    void reportGaps(bool all);
    bool due(std::chrono::steady_clock::time_point now);
    void fail(const QString &reason);
    void end(std::optional<QString> lostReason);
    QString startFailure(const QString &reason) const;

    std::unique_ptr<RecordingFile> file_;
    AudioBuffer &buffer_;
    const QString path_;
    const int rate_;
    Events events_;

    std::mutex mutex_; // guards the requests and the result
    bool syncRequested_ = false;
    bool finishRequested_ = false;
    bool keep_ = false;
    std::optional<QString> lostReason_;
    std::optional<QString> result_; // set once the file is completed or given up

    std::atomic<std::int64_t> written_{0};
    std::int64_t sinceHeader_ = 0;
    std::int64_t sinceSync_ = 0;
    std::chrono::steady_clock::time_point lastSync_;
    std::thread thread_;
};
