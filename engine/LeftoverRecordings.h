#pragma once

#include <QString>
#include <QStringList>

// Recordings a crash left behind in a folder, in the hidden files they are written under before
// they take their names (platform::TemporaryFile). One that holds audio is given a visible name
// beside them; one that holds none is removed. Files still being written are left alone.
namespace LeftoverRecordings {

// Deals with the leftovers in `folder`. Returns what the user is to be told, one text for each
// recording found.
QStringList recover(const QString &folder);

} // namespace LeftoverRecordings
