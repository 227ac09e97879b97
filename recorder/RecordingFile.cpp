#include "recorder/RecordingFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <sndfile.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// What a path names when it is not a regular file, in words for the user.
QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a pipe");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}

// Makes the folder holding `path` durable after a rename in it.
int syncFolderOf(const QString &path)
{
    const int folder =
        ::open(encoded(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return errno;
    int error = ::fsync(folder) == 0 ? 0 : errno;
    if (::close(folder) != 0 && error == 0)
        error = errno;
    return error;
}

} // namespace

std::unique_ptr<RecordingFile> RecordingFile::create(const QString &chosen, int rate, QString &error)
{
    const auto cannotCreate = [&](const QString &reason) {
        error = QStringLiteral("Cannot create the file “%1”: %2.").arg(shownPath(chosen), reason);
        return nullptr;
    };
    std::unique_ptr<RecordingFile> file(new RecordingFile);
    file->path_ = chosen;

    // What the path names now. A pipe opened without O_NONBLOCK would wait for a reader forever.
    const int existing = ::open(encoded(chosen).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat status {};
    int statError = 0;
    if (existing >= 0) {
        if (::fstat(existing, &status) != 0)
            statError = errno;
        ::close(existing);
    } else if (errno != ENOENT && ::stat(encoded(chosen).constData(), &status) != 0) {
        statError = errno;
    } else if (errno == ENOENT) {
        statError = ENOENT;
    }
    if (statError == 0) {
        if (!S_ISREG(status.st_mode)) {
            error =
                QStringLiteral("Cannot record into “%1”: it is %2, not an audio file. Choose another name.")
                    .arg(shownPath(chosen), kindOf(status.st_mode));
            return nullptr;
        }
        // Replacing a file that may not be written to would go around its permissions.
        if (::access(encoded(chosen).constData(), W_OK) != 0)
            return cannotCreate(systemReason(errno));
        file->replacesExisting_ = true;
        // A link keeps pointing where it did: the file it names is the one replaced.
        file->path_ = QFileInfo(chosen).canonicalFilePath();
    } else if (statError != ENOENT) {
        return cannotCreate(systemReason(statError));
    }

    const QFileInfo target(file->path_);
    for (int attempt = 0; attempt < 100 && file->fd_ < 0; ++attempt) {
        file->temporaryPath_ = target.absoluteDir().filePath(
            QStringLiteral(".%1.%2.part")
                .arg(target.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        file->fd_ =
            ::open(encoded(file->temporaryPath_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file->fd_ < 0 && errno != EEXIST)
            return cannotCreate(systemReason(errno));
    }
    if (file->fd_ < 0)
        return cannotCreate(systemReason(EEXIST));

    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_CAF | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE;
    errno = 0;
    file->file_ = sf_open_fd(file->fd_, SFM_WRITE, &info, SF_FALSE);
    if (!file->file_) {
        const int saved = errno;
        QString reason = QString::fromLocal8Bit(sf_strerror(nullptr)).trimmed();
        if (saved != 0)
            reason = systemReason(saved);
        file->discard();
        return cannotCreate(reason);
    }
    return file;
}

RecordingFile::~RecordingFile()
{
    if (!committed_)
        discard();
    else
        (void)complete();
}

QString RecordingFile::reasonAfterSndfileFailure(int savedErrno) const
{
    // libsndfile reports a failed system call as "System error : <the system's text>."; any
    // other text of its own would not help the user.
    QString text = QString::fromLocal8Bit(sf_strerror(file_)).trimmed();
    const QString prefix = QStringLiteral("System error :");
    if (text.startsWith(prefix)) {
        text = text.mid(prefix.size()).trimmed();
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
        if (!text.isEmpty())
            return text;
    }
    return systemReason(savedErrno != 0 ? savedErrno : EIO);
}

std::optional<QString> RecordingFile::write(std::span<const std::int16_t> samples)
{
    if (!file_)
        return systemReason(EBADF);
    errno = 0;
    const auto count = static_cast<sf_count_t>(samples.size());
    const sf_count_t put = sf_write_short(file_, samples.data(), count);
    const int saved = errno;
    if (put > 0)
        frames_ += put;
    if (put == count)
        return std::nullopt;
    faulted_ = true;
    return reasonAfterSndfileFailure(saved);
}

std::optional<QString> RecordingFile::updateHeader()
{
    if (!file_)
        return systemReason(EBADF);
    if (faulted_) {
        // A header write that failed returns without going back to the end of the audio: the
        // next header or audio must not land in the middle of the file.
        if (::lseek(fd_, 0, SEEK_END) < 0)
            return systemReason(errno);
    }
    errno = 0;
    sf_command(file_, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    const int saved = errno;
    if (sf_error(file_) == SF_ERR_NO_ERROR)
        return std::nullopt;
    faulted_ = true;
    return reasonAfterSndfileFailure(saved);
}

std::optional<QString> RecordingFile::sync()
{
    if (fd_ < 0)
        return systemReason(EBADF);
    if (::fdatasync(fd_) != 0)
        return systemReason(errno);
    return std::nullopt;
}

std::optional<QString> RecordingFile::commit()
{
    if (committed_)
        return std::nullopt;
    if (auto failure = updateHeader())
        return failure;
    if (auto failure = sync())
        return failure;
    if (::rename(encoded(temporaryPath_).constData(), encoded(path_).constData()) != 0)
        return systemReason(errno);
    committed_ = true;
    if (const int error = syncFolderOf(path_); error != 0)
        return systemReason(error);
    return std::nullopt;
}

std::optional<QString> RecordingFile::complete()
{
    if (!file_ && fd_ < 0)
        return std::nullopt;
    std::optional<QString> failure = updateHeader();
    if (file_) {
        // Closing writes the header once more, after the audio.
        if (faulted_)
            ::lseek(fd_, 0, SEEK_END);
        errno = 0;
        const int closed = sf_close(file_);
        const int saved = errno;
        file_ = nullptr;
        if (closed != SF_ERR_NO_ERROR && !failure)
            failure = systemReason(saved != 0 ? saved : EIO);
    }
    if (auto synced = sync(); synced && !failure)
        failure = synced;
    if (auto closed = closeFile(); closed && !failure)
        failure = closed;
    return failure;
}

std::optional<QString> RecordingFile::closeFile()
{
    const int fd = std::exchange(fd_, -1);
    if (fd >= 0 && ::close(fd) != 0)
        return systemReason(errno);
    return std::nullopt;
}

void RecordingFile::discard()
{
    if (file_)
        sf_close(std::exchange(file_, nullptr));
    (void)closeFile();
    if (!committed_ && !temporaryPath_.isEmpty())
        ::unlink(encoded(temporaryPath_).constData());
    temporaryPath_.clear();
}
