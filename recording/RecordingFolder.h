#pragma once

#include <QString>

class QSettings;

// The folder the save dialog opens in: where the last recording went, remembered across
// launches. A remembered folder that is gone (or a value that never was one) gives way to
// Music, then to the home folder; so does one that does not answer at once (a network share
// whose server is gone), which is never waited for longer than a tenth of a second.
namespace RecordingFolder {

inline constexpr const char *preferenceKey = "lastRecordingFolder";

// The folder to open, choosing among `music` and `home` when the remembered one is unusable.
QString choose(const QSettings &preferences, const QString &music, const QString &home);
// The same with the user's own Music and home folders.
QString start(const QSettings &preferences);
// Remembers the folder of a recording's file.
void remember(QSettings &preferences, const QString &recordingPath);

} // namespace RecordingFolder
