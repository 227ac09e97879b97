#include "recording/RecentRecordings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString key = QStringLiteral("RecentRecordings");

// A recording the list may show: an absolute path to a regular file, not reached through a link
// at its own name.
bool isRecording(const QString &path)
{
    if (path.isEmpty() || path.size() > RecentRecordings::longestPath || !QDir::isAbsolutePath(path))
        return false;
    const QFileInfo file(path);
    return !file.isSymLink() && file.isFile();
}

} // namespace

RecentRecordings::RecentRecordings(QSettings &preferences, QObject *parent)
    : QObject(parent), preferences(preferences)
{
}

QStringList RecentRecordings::stored() const
{
    // A single string, a number or a map in the preferences is no list of paths.
    const QVariant value = preferences.value(key);
    if (value.typeId() != QMetaType::QStringList && value.typeId() != QMetaType::QVariantList)
        return {};
    QStringList paths;
    for (const QVariant &entry : value.toList()) {
        if (paths.size() == capacity)
            break;
        if (entry.typeId() != QMetaType::QString)
            continue;
        const QString path = QDir::cleanPath(entry.toString());
        if (!path.isEmpty() && !paths.contains(path))
            paths << path;
    }
    return paths;
}

void RecentRecordings::store(const QStringList &paths)
{
    if (paths.isEmpty())
        preferences.remove(key);
    else
        preferences.setValue(key, paths);
    emit changed();
}

QStringList RecentRecordings::files()
{
    const QStringList paths = stored();
    QStringList present;
    for (const QString &path : paths) {
        if (isRecording(path))
            present << path;
    }
    if (present != preferences.value(key).toStringList())
        store(present);
    return present;
}

QString RecentRecordings::newest()
{
    const QStringList present = files();
    return present.isEmpty() ? QString() : present.first();
}

void RecentRecordings::add(const QString &path)
{
    const QString added = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList paths = stored();
    paths.removeAll(added);
    paths.prepend(added);
    store(paths.mid(0, capacity));
}

void RecentRecordings::remove(const QString &path)
{
    QStringList paths = stored();
    if (paths.removeAll(QDir::cleanPath(path)))
        store(paths);
}
