#pragma once

#include <QDateTime>
#include <QString>

// The name the save dialog proposes: "Recording on " and the local time as "dd-MM-yy HHmmss".
QString proposedRecordingName(const QDateTime &localTime);
