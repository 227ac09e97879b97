// libFuzzer target: the check that decides whether a hidden file in a folder is one of the
// recorder's leftovers, and the CAF header reader behind it, over arbitrary bytes.

#include "engine/CafHeader.h"
#include "engine/LeftoverRecordings.h"

#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::span<const unsigned char> bytes(data, std::min(size, LeftoverRecordings::headBytes));
    const auto length = static_cast<std::int64_t>(size);
    (void)CafHeader::read(bytes, length);
    // A file longer than the copy of its start, as recovery reads it.
    (void)CafHeader::read(bytes, length + (std::int64_t{1} << 40));
    (void)LeftoverRecordings::judge(QStringLiteral(".registratore-0123abcd.part"), bytes, length);
    // The same bytes as a name found in the folder.
    const auto nameBytes = static_cast<qsizetype>(std::min<std::size_t>(size, 64));
    (void)LeftoverRecordings::judge(QString::fromUtf8(reinterpret_cast<const char *>(data), nameBytes), bytes,
                                    length);
    return 0;
}
