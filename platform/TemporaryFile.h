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
    // Removes the hidden name, if the file has one (a file given up before it was named).
    void removeHiddenName();

    // Whether `fileName` is the name of one of these files: ours, or the ".NAME.XXXXXXXX.part" of
    // earlier versions. `intended` receives the name such a file was to take, where it says.
    static bool isTemporaryName(const QString &fileName, QString *intended = nullptr);
    // Whether another open descriptor holds the file at `path` (a recording is writing it).
    static bool inUse(const QString &path);

private:
    TemporaryFile() = default;
    int linkUnder(const QString &path) const;
    int takeName(const QString &path, bool replace);

    QString folder_;
    QString hiddenPath_;
    int fd_ = -1;
};

} // namespace platform
