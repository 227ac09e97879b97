#pragma once

#include "platform/TemporaryFile.h"
#include "platform/TranslatableText.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <span>

struct sf_private_tag;

// One recording's Core Audio Format file on disk: 16-bit little-endian PCM, mono. It is written
// in the chosen path's folder without a name of its own (platform::TemporaryFile) and takes that
// path only at commit(), so a file the user agreed to replace stays as it was until the new
// recording has audio on disk, and a name as long as the folder allows can be chosen.
// Every operation returns whether it worked and, when it did not, puts why in `*error` (when
// given), in the system's words; after a failure the file can still be completed with
// everything written before it.
class RecordingFile {
public:
    // Creates the file for `path`, not yet under that name. Refuses a path that names anything
    // but a regular file (a folder, a pipe, a device, a link, even one to a file) without waiting
    // on it. nullptr on failure.
    static std::unique_ptr<RecordingFile> create(const QString &path, int rate, TranslatableText *error);
    ~RecordingFile();
    RecordingFile(const RecordingFile &) = delete;
    RecordingFile &operator=(const RecordingFile &) = delete;

    // Whether the chosen path held a file when the recording was created.
    bool replacesExisting() const { return replacesExisting_; }
    bool committed() const { return committed_; }
    std::int64_t frames() const { return frames_; }

    bool write(std::span<const std::int16_t> samples, QString *error);
    bool updateHeader(QString *error);
    bool sync(QString *error);
    // Header, sync, then the file takes the chosen path (in place of the file there, if any).
    // Where that path cannot be had (another program took the name meanwhile, the folder is
    // gone, the name is too long for it), the file takes the first free one of "NAME (2).caf",
    // "NAME (3).caf"... in the folder, of a shortened name there, or of the same name in the
    // user's Music folder (home, when there is none): path() and movedBecause() tell.
    bool commit(QString *error);
    // Where the file is: the chosen path until commit() put it elsewhere.
    QString path() const { return path_; }
    // Why the file is not at the chosen path (the system's words), empty while it is.
    QString movedBecause() const { return movedBecause_; }
    // Final header, sync and close, each tried even when one before failed; `*error` tells the
    // first failure. The file stays wherever it is (see commit()).
    bool complete(QString *error);
    // Closes the file and leaves no trace of it (a recording that never started).
    void discard();

private:
    RecordingFile() = default;
    QString reasonOfLastFailure() const;
    int takeAnotherName(int failure);
    int moveInto(const QString &folder);
    bool closeFile(QString *error);

    // libsndfile reaches the file through this: it keeps the position libsndfile works at, so
    // that rewriting the header needs no seeks and never moves the descriptor off the audio's end.
    struct Io {
        int fd = -1;
        std::int64_t position = 0; // where libsndfile reads or writes next
        std::int64_t end = 0;      // the file's length, where the descriptor stands
        int error = 0;             // errno of the last failed call
    };
    static std::int64_t ioLength(void *io);
    static std::int64_t ioSeek(std::int64_t offset, int whence, void *io);
    static std::int64_t ioRead(void *data, std::int64_t count, void *io);
    static std::int64_t ioWrite(const void *data, std::int64_t count, void *io);
    static std::int64_t ioTell(void *io);

    QString path_;
    QString movedBecause_;
    std::optional<platform::TemporaryFile> temporary_; // until it is closed
    Io io_;
    sf_private_tag *file_ = nullptr;
    std::int64_t frames_ = 0;
    bool replacesExisting_ = false;
    bool committed_ = false;
    bool faulted_ = false; // a write went wrong: libsndfile's idea of the file position is not to be trusted
};
