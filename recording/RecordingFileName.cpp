#include "recording/RecordingFileName.h"

QString proposedRecordingName(const QDateTime &localTime)
{
    return QStringLiteral("Recording on ") + localTime.toString(QStringLiteral("dd-MM-yy HHmmss"));
}
