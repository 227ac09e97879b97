#pragma once

#include <QString>

namespace platform {

// Whether the paths `a` and `b` both name one existing file: the same device and inode, however
// each is reached (a linked folder, another case on a file system that ignores it).
bool isSameFile(const QString &a, const QString &b);

} // namespace platform
