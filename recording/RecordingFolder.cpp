#include "recording/RecordingFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace RecordingFolder {

namespace {
bool isFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}
} // namespace

QString choose(const platform::PreferenceStore &preferences, const QString &music, const QString &home)
{
    if (const auto stored = preferences.value(QString::fromLatin1(preferenceKey));
        stored && stored->typeId() == QMetaType::QString && QDir::isAbsolutePath(stored->toString()) &&
        isFolder(stored->toString()))
        return stored->toString();
    return isFolder(music) ? music : home;
}

QString start(const platform::PreferenceStore &preferences)
{
    return choose(preferences, QStandardPaths::writableLocation(QStandardPaths::MusicLocation),
                  QDir::homePath());
}

void remember(platform::PreferenceStore &preferences, const QString &recordingPath)
{
    const QString folder = QFileInfo(recordingPath).absolutePath();
    if (preferences.value(QString::fromLatin1(preferenceKey)) != QVariant(folder))
        preferences.setValue(QString::fromLatin1(preferenceKey), folder);
}

} // namespace RecordingFolder
