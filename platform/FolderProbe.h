#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace platform {

// Whether `path` names a folder, asked on a thread of its own and waited for at most `patience`.
// A folder on a network share whose server stopped answering (a hard-mounted NFS share) holds up
// that thread, maybe for good, and the caller goes on without an answer (nothing). A question
// about a path whose earlier one is still unanswered waits for that one instead of adding a thread.
std::optional<bool> isFolderWithin(const QString &path, std::chrono::milliseconds patience);

} // namespace platform
