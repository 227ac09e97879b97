#include "platform/TemporaryFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <stdio.h> // renameat2

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kAttempts = 100;

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

QString hiddenNameIn(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral(".registratore-%1.part")
                                     .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
}

// `error`'s text, in `*to` when given; false.
bool failWith(QString *to, int error)
{
    if (to)
        *to = QString::fromLocal8Bit(std::strerror(error));
    return false;
}

// The lock that tells a scan of the folder this file is still being written. A file system
// without locks (some network ones) simply gives no such hint.
void lockWhileOpen(int fd)
{
    (void)::flock(fd, LOCK_EX | LOCK_NB);
}

} // namespace

std::optional<TemporaryFile> TemporaryFile::create(const QString &folder, QString *error, Kind kind)
{
    TemporaryFile file;
    file.folder_ = folder;
#ifdef O_TMPFILE
    // Naming it later goes through /proc (see linkUnder()).
    if (kind == Kind::Unnamed && ::access("/proc/self/fd", X_OK) == 0) {
        file.fd_ = ::open(encoded(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (file.fd_ >= 0) {
            lockWhileOpen(file.fd_);
            return file;
        }
        // Refused by the file system (or the kernel): a hidden name will do. Any other reason
        // (no such folder, no permission) is the folder's, and a hidden name would meet it too.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            failWith(error, errno);
            return std::nullopt;
        }
    }
#else
    (void)kind;
#endif
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        file.hiddenPath_ = hiddenNameIn(folder);
        file.fd_ =
            ::open(encoded(file.hiddenPath_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd_ >= 0) {
            lockWhileOpen(file.fd_);
            return file;
        }
        if (errno != EEXIST) {
            failWith(error, errno);
            return std::nullopt;
        }
    }
    failWith(error, EEXIST);
    return std::nullopt;
}

// Links the unnamed file under `path`. 0 or errno.
int TemporaryFile::linkUnder(const QString &path) const
{
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd_);
    // Through /proc: linking the descriptor itself (AT_EMPTY_PATH) needs a privilege.
    return ::linkat(AT_FDCWD, self, AT_FDCWD, encoded(path).constData(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

bool TemporaryFile::giveName(const QString &path, bool replace, QString *error)
{
    const int failure = takeName(path, replace);
    return failure == 0 || failWith(error, failure);
}

int TemporaryFile::takeName(const QString &path, bool replace)
{
    if (hiddenPath_.isEmpty()) {
        if (!replace)
            return linkUnder(path);
        // Linked under a hidden name first, then renamed over the old file: the old file stays
        // whole until the new one takes its place.
        for (int attempt = 0; attempt < kAttempts && hiddenPath_.isEmpty(); ++attempt) {
            const QString hidden = hiddenNameIn(folder_);
            if (const int error = linkUnder(hidden); error == 0)
                hiddenPath_ = hidden;
            else if (error != EEXIST)
                return error;
        }
        if (hiddenPath_.isEmpty())
            return EEXIST;
    }
    const QByteArray from = encoded(hiddenPath_);
    const QByteArray to = encoded(path);
    if (replace) {
        if (::rename(from.constData(), to.constData()) != 0)
            return errno;
    } else if (const int error = renameWithoutReplacing(AT_FDCWD, from, AT_FDCWD, to); error != 0) {
        return error;
    }
    hiddenPath_.clear();
    return 0;
}

void TemporaryFile::removeHiddenName()
{
    if (!hiddenPath_.isEmpty())
        ::unlink(encoded(hiddenPath_).constData());
    hiddenPath_.clear();
}

bool TemporaryFile::isTemporaryName(const QString &fileName)
{
    // Anchored at the very end: "$" alone would let a newline follow.
    static const QRegularExpression ours(
        QRegularExpression::anchoredPattern(QStringLiteral("\\.registratore-[0-9a-f]{8}\\.part")));
    return ours.match(fileName).hasMatch();
}

bool TemporaryFile::inUse(int fd)
{
    return ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

int renameWithoutReplacing(int fromFolder, const QByteArray &from, int toFolder, const QByteArray &to)
{
    if (::renameat2(fromFolder, from.constData(), toFolder, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    // Refused by the file system (NFS, some FUSE ones): a hard link refuses an existing name too.
    if (::linkat(fromFolder, from.constData(), toFolder, to.constData(), 0) == 0) {
        ::unlinkat(fromFolder, from.constData(), 0);
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;
    // Neither (a file system without hard links): the name is looked at first, and only a name
    // taken in that very moment is lost to the rename.
    struct stat status {};
    if (::fstatat(toFolder, to.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return ::renameat(fromFolder, from.constData(), toFolder, to.constData()) == 0 ? 0 : errno;
}

} // namespace platform
