#include "platform/TemporaryFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
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

// giveName(), with 0 or the errno of the failure.
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
    // A hidden name is renamed, in place of any file there: where hidden names are needed the
    // file system may have no hard links to refuse an existing name with.
    if (::rename(encoded(hiddenPath_).constData(), encoded(path).constData()) != 0)
        return errno;
    hiddenPath_.clear();
    return 0;
}

void TemporaryFile::removeHiddenName()
{
    if (!hiddenPath_.isEmpty())
        ::unlink(encoded(hiddenPath_).constData());
    hiddenPath_.clear();
}

bool TemporaryFile::isTemporaryName(const QString &fileName, QString *intended)
{
    static const QRegularExpression ours(QStringLiteral("^\\.registratore-[0-9a-f]{8}\\.part$"));
    static const QRegularExpression earlier(QStringLiteral("^\\.(.+)\\.[0-9a-f]{8}\\.part$"));
    if (ours.match(fileName).hasMatch())
        return true;
    const QRegularExpressionMatch match = earlier.match(fileName);
    if (match.hasMatch() && intended)
        *intended = match.captured(1);
    return match.hasMatch();
}

bool TemporaryFile::inUse(const QString &path)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

} // namespace platform
