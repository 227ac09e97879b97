#pragma once

#include <QString>

#include <optional>

namespace platform {

// A new file written in a folder before it takes its name there. Where the file system allows it
// (O_TMPFILE on Linux), the file has no name at all until then, so a crash leaves nothing behind.
// Elsewhere it has a short hidden name of its own, ".registratore-XXXXXXXX.part", as long whatever
// the name it is to take. Either way it is locked while open, so that a look at the folder can
// tell a file still being written from one a crash left behind.
class TemporaryFile {
public:
    enum class Kind {
        Unnamed, // no name where the file system allows it, else a hidden one
        Hidden,  // a hidden name in any case
    };

    // Opens a new file for writing in `folder`, or gives nothing and puts the system's reason in
    // `*error` (when given).
    static std::optional<TemporaryFile> create(const QString &folder, QString *error = nullptr,
                                               Kind kind = Kind::Unnamed);

    // The descriptor; its owner closes it.
    int descriptor() const { return fd_; }
    // The hidden name the file has now, empty while it has none.
    QString hiddenPath() const { return hiddenPath_; }

    // Gives the file the name `path` in the same folder: a new name, which fails when something
    // took it meanwhile, or, with `replace`, in place of the file there, in one step. On failure
    // the file keeps its hidden name (or none), and `*error` (when given) says why.
    bool giveName(const QString &path, bool replace, QString *error = nullptr);
    // giveName(), with 0 or the errno of the failure.
    int takeName(const QString &path, bool replace);
    // Removes the hidden name, if the file has one (a file given up before it was named).
    void removeHiddenName();

    // Whether `fileName` is the hidden name of one of these files.
    static bool isTemporaryName(const QString &fileName);
    // Whether another open descriptor holds the file open on `fd` (a recording is writing it).
    static bool inUse(int fd);

private:
    TemporaryFile() = default;
    int linkUnder(const QString &path) const;

    QString folder_;
    QString hiddenPath_;
    int fd_ = -1;
};

// Renames `from` in the folder open on `fromFolder` to `to` in the folder open on `toFolder`
// (AT_FDCWD: the current one), never in place of anything there: EEXIST then. A file system that
// cannot refuse an existing name in one step gets a hard link and an unlink instead. 0 or errno.
int renameWithoutReplacing(int fromFolder, const QByteArray &from, int toFolder, const QByteArray &to);

} // namespace platform
