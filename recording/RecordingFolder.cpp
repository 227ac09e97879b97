#include "recording/RecordingFolder.h"

#include "platform/FolderProbe.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <chrono>

namespace RecordingFolder {

namespace {

using namespace std::chrono_literals;

// How long the UI thread waits for a folder to say whether it is there. A local disk answers in
// microseconds; a network share whose server is gone may never answer, and the save dialog
// opens elsewhere rather than freezing with it.
constexpr std::chrono::milliseconds kPatience = 100ms;
// What the Music folder still gets when the remembered one used up the patience.
constexpr std::chrono::milliseconds kLeastPatience = 20ms;

bool isFolder(const QString &path, std::chrono::milliseconds patience)
{
    return !path.isEmpty() && platform::isFolderWithin(path, patience).value_or(false);
}

} // namespace

QString choose(const QSettings &preferences, const QString &music, const QString &home)
{
    const auto started = std::chrono::steady_clock::now();
    if (const QVariant stored = preferences.value(QString::fromLatin1(preferenceKey));
        stored.typeId() == QMetaType::QString && QDir::isAbsolutePath(stored.toString()) &&
        isFolder(stored.toString(), kPatience))
        return stored.toString();
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    return isFolder(music, std::max(kPatience - waited, kLeastPatience)) ? music : home;
}

QString start(const QSettings &preferences)
{
    return choose(preferences, QStandardPaths::writableLocation(QStandardPaths::MusicLocation),
                  QDir::homePath());
}

void remember(QSettings &preferences, const QString &recordingPath)
{
    const QString folder = QFileInfo(recordingPath).absolutePath();
    if (preferences.value(QString::fromLatin1(preferenceKey)) != QVariant(folder))
        preferences.setValue(QString::fromLatin1(preferenceKey), folder);
}

} // namespace RecordingFolder
