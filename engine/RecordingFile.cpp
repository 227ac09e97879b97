#include "engine/RecordingFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sndfile.h>

#include <cerrno>
#include <cstdio>
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

bool failWith(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// Why a path that is not a regular file cannot be recorded into, in words for the user.
TranslatableText notAudioFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return {"Recording",
                QT_TRANSLATE_NOOP("Recording", "Cannot record into “%1”: it is a folder, not an audio file. "
                                               "Choose another name.")};
    if (S_ISFIFO(mode))
        return {"Recording",
                QT_TRANSLATE_NOOP("Recording", "Cannot record into “%1”: it is a pipe, not an audio file. "
                                               "Choose another name.")};
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return {"Recording",
                QT_TRANSLATE_NOOP("Recording", "Cannot record into “%1”: it is a device, not an audio file. "
                                               "Choose another name.")};
    if (S_ISSOCK(mode))
        return {"Recording",
                QT_TRANSLATE_NOOP("Recording", "Cannot record into “%1”: it is a socket, not an audio file. "
                                               "Choose another name.")};
    return {"Recording",
            QT_TRANSLATE_NOOP("Recording",
                              "Cannot record into “%1”: it is not a regular file, not an audio file. "
                              "Choose another name.")};
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

// Where a recording whose folder is gone is kept: the user's Music folder, else home.
QString musicFolder()
{
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return !music.isEmpty() && QFileInfo(music).isDir() ? music : QDir::homePath();
}

// `stem`, cut to at most `bytes` bytes of its encoding, at a character's boundary.
QString shortened(const QString &stem, qsizetype bytes)
{
    QString cut = stem;
    while (!cut.isEmpty() && encoded(cut).size() > bytes)
        cut.chop(cut.size() >= 2 && cut.at(cut.size() - 1).isLowSurrogate() ? 2 : 1);
    return cut.trimmed();
}

constexpr int kOtherNames = 100;

// Copies the first `length` bytes of `from` into `to`, at the same places. 0 or errno.
int copyBytes(int from, int to, std::int64_t length)
{
    char chunk[64 * 1024];
    for (std::int64_t done = 0; done < length;) {
        const ssize_t got = ::pread(from, chunk, sizeof chunk, done);
        if (got <= 0)
            return got == 0 ? EIO : errno;
        for (ssize_t put = 0; put < got;) {
            const ssize_t n = ::pwrite(to, chunk + put, static_cast<size_t>(got - put), done + put);
            if (n < 0)
                return errno;
            put += n;
        }
        done += got;
    }
    return 0;
}

} // namespace

std::unique_ptr<RecordingFile> RecordingFile::create(const QString &chosen, int rate, TranslatableText *error)
{
    const auto refuse = [error](const TranslatableText &why) {
        if (error)
            *error = why;
        return nullptr;
    };
    const auto cannotCreate = [&](const QString &reason) {
        return refuse(
            TranslatableText("Recording", QT_TRANSLATE_NOOP("Recording", "Cannot create the file “%1”: %2."))
                .arg(shownPath(chosen), reason));
    };
    std::unique_ptr<RecordingFile> file(new RecordingFile);
    file->path_ = chosen;

    // What the name itself is now, never where a link there leads: a link planted under the
    // chosen name (in a shared folder, say) would otherwise have the file it points at replaced.
    // Links among the folders of the path are the user's own choice and are followed. What the
    // name holds may still change before commit(); the rename there replaces the name, a link
    // included, and never the file behind it.
    struct stat status {};
    if (::lstat(encoded(chosen).constData(), &status) == 0) {
        if (S_ISLNK(status.st_mode))
            return refuse(TranslatableText(
                              "Recording",
                              QT_TRANSLATE_NOOP("Recording", "“%1” is a link to “%2”; choose another name."))
                              .arg(shownPath(chosen), shownPath(QFileInfo(chosen).symLinkTarget())));
        if (!S_ISREG(status.st_mode))
            return refuse(notAudioFile(status.st_mode).arg(shownPath(chosen)));
        // Replacing a file that may not be written to would go around its permissions.
        if (::access(encoded(chosen).constData(), W_OK) != 0)
            return cannotCreate(systemReason(errno));
        file->replacesExisting_ = true;
    } else if (errno != ENOENT) {
        return cannotCreate(systemReason(errno));
    }

    QString openError;
    std::optional<platform::TemporaryFile> temporary =
        platform::TemporaryFile::create(QFileInfo(file->path_).absolutePath(), &openError);
    if (!temporary)
        return cannotCreate(openError);
    file->temporary_ = std::move(temporary);
    file->io_.fd = file->temporary_->descriptor();

    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_CAF | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE;
    SF_VIRTUAL_IO io{&RecordingFile::ioLength, &RecordingFile::ioSeek, &RecordingFile::ioRead,
                     &RecordingFile::ioWrite, &RecordingFile::ioTell};
    file->file_ = sf_open_virtual(&io, SFM_WRITE, &info, &file->io_);
    if (!file->file_ || file->io_.error != 0) {
        QString reason = QString::fromLocal8Bit(sf_strerror(nullptr)).trimmed();
        if (file->io_.error != 0)
            reason = systemReason(file->io_.error);
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
        complete(nullptr);
}

sf_count_t RecordingFile::ioLength(void *io)
{
    return static_cast<Io *>(io)->end;
}

sf_count_t RecordingFile::ioSeek(sf_count_t offset, int whence, void *user)
{
    auto &io = *static_cast<Io *>(user);
    const sf_count_t base = whence == SEEK_CUR ? io.position : whence == SEEK_END ? io.end : 0;
    if (base + offset < 0) {
        io.error = EINVAL;
        return -1;
    }
    io.position = base + offset;
    return io.position;
}

sf_count_t RecordingFile::ioRead(void *data, sf_count_t count, void *user)
{
    auto &io = *static_cast<Io *>(user);
    const ssize_t got = ::pread(io.fd, data, static_cast<size_t>(count), io.position);
    if (got < 0) {
        io.error = errno;
        return 0;
    }
    io.position += got;
    return got;
}

// Audio goes at the end, where the descriptor stands; anything else (the header) is written in
// place without moving the descriptor, so a failed header rewrite cannot misplace the audio after it.
sf_count_t RecordingFile::ioWrite(const void *data, sf_count_t count, void *user)
{
    auto &io = *static_cast<Io *>(user);
    const auto *bytes = static_cast<const char *>(data);
    const bool append = io.position == io.end;
    sf_count_t put = 0;
    // A short write is tried again for the rest: the write after it says why the file took no
    // more (a full disk, a limit on the file's size).
    while (put < count) {
        const auto left = static_cast<size_t>(count - put);
        const ssize_t wrote = append ? ::write(io.fd, bytes + put, left)
                                     : ::pwrite(io.fd, bytes + put, left, io.position + put);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            io.error = wrote < 0 ? errno : ENOSPC;
            break;
        }
        put += wrote;
    }
    io.position += put;
    if (io.position > io.end) {
        io.end = io.position;
        // Written past the end in place: the descriptor follows the end.
        if (!append && ::lseek(io.fd, io.end, SEEK_SET) < 0) {
            io.error = errno;
            return 0;
        }
    }
    return put;
}

sf_count_t RecordingFile::ioTell(void *io)
{
    return static_cast<Io *>(io)->position;
}

QString RecordingFile::reasonOfLastFailure() const
{
    return systemReason(io_.error != 0 ? io_.error : EIO);
}

bool RecordingFile::write(std::span<const std::int16_t> samples, QString *error)
{
    if (!file_)
        return failWith(error, systemReason(EBADF));
    io_.error = 0;
    const auto count = static_cast<sf_count_t>(samples.size());
    const sf_count_t put = sf_write_short(file_, samples.data(), count);
    if (put > 0)
        frames_ += put;
    if (put == count)
        return true;
    faulted_ = true;
    return failWith(error, reasonOfLastFailure());
}

bool RecordingFile::updateHeader(QString *error)
{
    if (!file_)
        return failWith(error, systemReason(EBADF));
    if (faulted_) {
        // A header write that failed returns without going back to the end of the audio: the
        // next header or audio must not land in the middle of the file.
        io_.position = io_.end;
    }
    io_.error = 0;
    sf_command(file_, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    // libsndfile does not look at what its virtual I/O's writes return.
    if (sf_error(file_) == SF_ERR_NO_ERROR && io_.error == 0)
        return true;
    faulted_ = true;
    return failWith(error, reasonOfLastFailure());
}

bool RecordingFile::sync(QString *error)
{
    if (io_.fd < 0)
        return failWith(error, systemReason(EBADF));
    if (::fdatasync(io_.fd) != 0)
        return failWith(error, systemReason(errno));
    return true;
}

bool RecordingFile::commit(QString *error)
{
    if (committed_)
        return true;
    if (!temporary_)
        return failWith(error, systemReason(EBADF));
    if (!updateHeader(error) || !sync(error))
        return false;
    int failure = temporary_->takeName(path_, replacesExisting_);
    if (failure == EEXIST || failure == ENOENT || failure == ENOTDIR || failure == ENAMETOOLONG)
        failure = takeAnotherName(failure);
    if (failure != 0)
        return failWith(error, systemReason(failure));
    committed_ = true;
    if (const int folderError = syncFolderOf(path_); folderError != 0)
        return failWith(error, systemReason(folderError));
    return true;
}

// The chosen path could not be had for `failure`: the audio is kept under another name. 0 or errno.
int RecordingFile::takeAnotherName(int failure)
{
    const QFileInfo chosen(path_);
    QString stem = chosen.fileName();
    if (stem.endsWith(QStringLiteral(".caf"), Qt::CaseInsensitive))
        stem.chop(4);
    QString folder = chosen.absolutePath();
    if (failure == ENAMETOOLONG) {
        const long longest = ::pathconf(encoded(folder).constData(), _PC_NAME_MAX);
        stem = shortened(stem, (longest > 0 ? longest : 255) - qsizetype(sizeof " (100).caf"));
        if (stem.isEmpty())
            stem = QStringLiteral("Recording");
    } else if (failure != EEXIST) {
        folder = musicFolder();
        if (const int moved = moveInto(folder); moved != 0)
            return moved;
    }
    // A name that was taken is not tried again; any other is, where the file now is.
    for (int n = failure == EEXIST ? 2 : 1; n <= kOtherNames; ++n) {
        const QString name =
            n == 1 ? stem + QStringLiteral(".caf") : QStringLiteral("%1 (%2).caf").arg(stem).arg(n);
        const QString path = QDir(folder).filePath(name);
        const int error = temporary_->takeName(path, false);
        if (error == 0) {
            path_ = path;
            movedBecause_ = systemReason(failure);
            return 0;
        }
        if (error != EEXIST)
            return error;
    }
    return failure;
}

// The file's bytes go into a new one in `folder`, which takes its place. 0 or errno.
int RecordingFile::moveInto(const QString &folder)
{
    std::optional<platform::TemporaryFile> moved = platform::TemporaryFile::create(folder);
    if (!moved)
        return errno != 0 ? errno : EIO;
    const int to = moved->descriptor();
    // The file is open for writing only: it is read through a descriptor of its own.
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", io_.fd);
    const int from = ::open(self, O_RDONLY | O_CLOEXEC);
    int error = from < 0 ? errno : copyBytes(from, to, io_.end);
    if (from >= 0)
        ::close(from);
    if (error == 0 && (::lseek(to, io_.end, SEEK_SET) < 0 || ::fdatasync(to) != 0))
        error = errno;
    if (error != 0) {
        ::close(to);
        moved->removeHiddenName();
        return error;
    }
    ::close(io_.fd);
    temporary_->removeHiddenName();
    temporary_ = std::move(moved);
    io_.fd = to;
    replacesExisting_ = false;
    return 0;
}

bool RecordingFile::complete(QString *error)
{
    if (!file_ && io_.fd < 0)
        return true;
    QString first;
    bool complete = updateHeader(&first);
    if (file_) {
        // Closing writes the header once more, after the audio.
        if (faulted_)
            io_.position = io_.end;
        io_.error = 0;
        const int closed = sf_close(file_);
        file_ = nullptr;
        if ((closed != SF_ERR_NO_ERROR || io_.error != 0) && complete)
            complete = failWith(&first, reasonOfLastFailure());
    }
    QString later;
    if (!sync(&later) && complete)
        complete = failWith(&first, later);
    if (!closeFile(&later) && complete)
        complete = failWith(&first, later);
    return complete || failWith(error, first);
}

bool RecordingFile::closeFile(QString *error)
{
    const int fd = std::exchange(io_.fd, -1);
    if (fd >= 0 && ::close(fd) != 0)
        return failWith(error, systemReason(errno));
    return true;
}

void RecordingFile::discard()
{
    if (file_)
        sf_close(std::exchange(file_, nullptr));
    closeFile(nullptr);
    if (!committed_ && temporary_)
        temporary_->removeHiddenName();
    temporary_.reset();
}
