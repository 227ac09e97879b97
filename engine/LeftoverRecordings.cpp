#include "engine/LeftoverRecordings.h"

#include "platform/TemporaryFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sndfile.h>

namespace LeftoverRecordings {

namespace {

// A file that libsndfile reads with no frames holds nothing worth keeping. One it cannot read at
// all is kept all the same: it may hold audio behind a header the crash cut short.
bool holdsAudio(const QFileInfo &file)
{
    if (file.size() == 0)
        return false;
    SF_INFO info{};
    SNDFILE *sound = sf_open(QFile::encodeName(file.filePath()).constData(), SFM_READ, &info);
    if (!sound)
        return true;
    sf_close(sound);
    return info.frames > 0;
}

// A visible name in `folder` that nothing has yet: the one the recording was to take when its
// hidden name tells it, else one made from the time it was last written.
QString freeName(const QDir &folder, const QString &intended, const QDateTime &written)
{
    QStringList candidates;
    if (!intended.isEmpty() && !intended.contains(QLatin1Char('/')))
        candidates << intended;
    const QString stem =
        QStringLiteral("Recovered recording ") + written.toString(QStringLiteral("dd-MM-yy HHmmss"));
    candidates << stem + QStringLiteral(".caf");
    for (int n = 2; n < 10; ++n)
        candidates << QStringLiteral("%1 (%2).caf").arg(stem).arg(n);
    for (const QString &name : candidates) {
        if (!QFileInfo::exists(folder.filePath(name)))
            return folder.filePath(name);
    }
    return {};
}

} // namespace

QStringList recover(const QString &folder)
{
    QStringList told;
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        QString intended;
        if (!platform::TemporaryFile::isTemporaryName(entry.fileName(), &intended) ||
            platform::TemporaryFile::inUse(entry.filePath()))
            continue;
        if (!holdsAudio(entry)) {
            QFile::remove(entry.filePath());
            continue;
        }
        const QString visible = freeName(dir, intended, entry.lastModified());
        if (!visible.isEmpty() && QFile::rename(entry.filePath(), visible)) {
            told << QStringLiteral("A recording interrupted earlier was saved as “%1”.")
                        .arg(QDir::toNativeSeparators(visible));
        } else {
            told << QStringLiteral("A recording interrupted earlier is in the hidden file “%1”.")
                        .arg(QDir::toNativeSeparators(entry.filePath()));
        }
    }
    return told;
}

} // namespace LeftoverRecordings
