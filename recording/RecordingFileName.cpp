#include "recording/RecordingFileName.h"

#include <QCoreApplication>

QString proposedRecordingName(const QDateTime &localTime)
{
    //: The name the save dialog proposes; %1 is the date and time, as 31-12-25 235959.
    return QCoreApplication::translate("RecordingFileName", "Recording on %1")
        .arg(localTime.toString(QStringLiteral("dd-MM-yy HHmmss")));
}
