#include "engine/LeftoverRecordings.h"

#include "engine/CafHeader.h"
#include "platform/TemporaryFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace LeftoverRecordings {

Verdict judge(const QString &fileName, std::span<const unsigned char> head, std::int64_t length)
{
    if (!platform::TemporaryFile::isTemporaryName(fileName))
        return Verdict::NotOurs;
    // Created and never written: the crash came before the header.
    if (length == 0)
        return Verdict::Empty;
    const std::optional<CafHeader> header = CafHeader::read(head, length);
    if (!header || !header->isRecording())
        return Verdict::NotOurs;
    return header->frames > 0 ? Verdict::HoldsAudio : Verdict::Empty;
}

namespace {

// A descriptor closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(Descriptor &&other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    Descriptor &operator=(Descriptor &&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// The hidden names of the recorder's files in the folder open on `folder`.
std::vector<QByteArray> hiddenNamesIn(int folder)
{
    std::vector<QByteArray> names;
    const int listed = ::dup(folder);
    DIR *entries = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (!entries) {
        if (listed >= 0)
            ::close(listed);
        return names;
    }
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        if (platform::TemporaryFile::isTemporaryName(QFile::decodeName(name)))
            names.push_back(name);
    }
    ::closedir(entries);
    return names;
}

// A leftover that may be one of ours: a regular file of this user's, in that folder alone (no
// other hard link), that no recording holds open.
struct Candidate {
    std::optional<Descriptor> fd;
    struct stat status {};
};

std::optional<Candidate> openCandidate(int folder, const QByteArray &name)
{
    // Never through a link, and never waiting on a pipe or a device.
    Candidate candidate;
    candidate.fd.emplace(
        ::openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!candidate.fd->valid() || ::fstat(candidate.fd->get(), &candidate.status) != 0)
        return std::nullopt;
    const struct stat &s = candidate.status;
    if (!S_ISREG(s.st_mode) || s.st_uid != ::geteuid() || s.st_nlink != 1 ||
        platform::TemporaryFile::inUse(candidate.fd->get()))
        return std::nullopt;
    return candidate;
}

// The first bytes of the open file, read through its descriptor.
std::vector<unsigned char> headOf(int fd)
{
    std::vector<unsigned char> head(headBytes);
    std::size_t got = 0;
    while (got < head.size()) {
        const ssize_t n = ::pread(fd, head.data() + got, head.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    head.resize(got);
    return head;
}

// Whether `name` in the folder is still the file open on `candidate` (nobody swapped it since).
bool stillNames(int folder, const QByteArray &name, const Candidate &candidate)
{
    struct stat now {};
    return ::fstatat(folder, name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
           now.st_dev == candidate.status.st_dev && now.st_ino == candidate.status.st_ino;
}

// Gives the leftover `name` a visible name that nothing has yet. The name it got, or nothing.
std::optional<QString> nameRecovered(int folder, const QByteArray &name, const QDateTime &written)
{
    const QString stem =
        QStringLiteral("Recovered recording ") + written.toString(QStringLiteral("dd-MM-yy HHmmss"));
    for (int n = 1; n < 100; ++n) {
        const QString visible =
            n == 1 ? stem + QStringLiteral(".caf") : QStringLiteral("%1 (%2).caf").arg(stem).arg(n);
        const int error = platform::renameWithoutReplacing(folder, name, folder, QFile::encodeName(visible));
        if (error == 0)
            return visible;
        if (error != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

QList<TranslatableText> recover(const QString &folder)
{
    QList<TranslatableText> told;
    const Descriptor dir(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        return told;
    for (const QByteArray &name : hiddenNamesIn(dir.get())) {
        const std::optional<Candidate> candidate = openCandidate(dir.get(), name);
        if (!candidate)
            continue;
        const std::vector<unsigned char> head = headOf(candidate->fd->get());
        const Verdict verdict = judge(QFile::decodeName(name), head, candidate->status.st_size);
        if (verdict == Verdict::NotOurs || !stillNames(dir.get(), name, *candidate))
            continue;
        if (verdict == Verdict::Empty) {
            ::unlinkat(dir.get(), name.constData(), 0);
            continue;
        }
        const QDateTime written = QDateTime::fromSecsSinceEpoch(candidate->status.st_mtime);
        if (const std::optional<QString> visible = nameRecovered(dir.get(), name, written)) {
            told << TranslatableText(
                        "Recording",
                        QT_TRANSLATE_NOOP("Recording", "A recording interrupted earlier was saved as “%1”."))
                        .arg(QDir::toNativeSeparators(QDir(folder).filePath(*visible)));
        } else {
            told << TranslatableText(
                        "Recording",
                        QT_TRANSLATE_NOOP("Recording",
                                          "A recording interrupted earlier is in the hidden file “%1”."))
                        .arg(QDir::toNativeSeparators(QDir(folder).filePath(QFile::decodeName(name))));
        }
    }
    return told;
}

} // namespace LeftoverRecordings
