#pragma once

#include <QList>
#include <QString>

#include "platform/TranslatableText.h"

#include <cstdint>
#include <span>

// Recordings a crash left behind in a folder, in the hidden files they are written under before
// they take their names (platform::TemporaryFile). One that holds audio is given a visible name
// beside them; one that holds none is removed. Anything else in the folder is left alone: files
// still being written, and whatever this user's recorder did not make, whoever put it there.
namespace LeftoverRecordings {

// What a hidden file is, from its name and its first bytes (`head`, of `length` in all).
enum class Verdict {
    NotOurs,   // not a leftover of the recorder: left alone
    Empty,     // a leftover with no audio: removed
    HoldsAudio // a leftover with audio: given a name
};
Verdict judge(const QString &fileName, std::span<const unsigned char> head, std::int64_t length);

// How much of a leftover's start judge() is given: more than the header of any recording.
constexpr std::size_t headBytes = 64 * 1024;

// Deals with the leftovers in `folder`. Returns what the user is to be told, one text for each
// recording found.
QList<TranslatableText> recover(const QString &folder);

} // namespace LeftoverRecordings
