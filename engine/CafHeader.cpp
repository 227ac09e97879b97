#include "engine/CafHeader.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace {

// libsndfile's view of the bytes: reads end where the copy does, the length is the file's.
struct MemoryIo {
    std::span<const unsigned char> head;
    std::int64_t length = 0;
    std::int64_t position = 0;
};

sf_count_t memoryLength(void *io)
{
    return static_cast<MemoryIo *>(io)->length;
}

sf_count_t memorySeek(sf_count_t offset, int whence, void *user)
{
    auto &io = *static_cast<MemoryIo *>(user);
    const sf_count_t base = whence == SEEK_CUR ? io.position : whence == SEEK_END ? io.length : 0;
    // Offsets come from the file's own bytes: no arithmetic on them may overflow.
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0)
        return -1;
    io.position = base + offset;
    return io.position;
}

sf_count_t memoryRead(void *data, sf_count_t count, void *user)
{
    auto &io = *static_cast<MemoryIo *>(user);
    const auto size = static_cast<std::int64_t>(io.head.size());
    if (count <= 0 || io.position >= size)
        return 0;
    const std::int64_t got = std::min<std::int64_t>(count, size - io.position);
    std::memcpy(data, io.head.data() + io.position, static_cast<size_t>(got));
    io.position += got;
    return got;
}

sf_count_t refuseWrite(const void *, sf_count_t, void *)
{
    return 0;
}

sf_count_t memoryTell(void *io)
{
    return static_cast<MemoryIo *>(io)->position;
}

} // namespace

std::optional<CafHeader> CafHeader::read(std::span<const unsigned char> head, std::int64_t length)
{
    // Only a CAF file goes to libsndfile, whose other readers are never reached this way.
    static constexpr unsigned char magic[] = {'c', 'a', 'f', 'f'};
    if (head.size() < sizeof magic || std::memcmp(head.data(), magic, sizeof magic) != 0)
        return std::nullopt;
    MemoryIo io{head, std::max<std::int64_t>(length, static_cast<std::int64_t>(head.size())), 0};
    SF_VIRTUAL_IO callbacks{&memoryLength, &memorySeek, &memoryRead, &refuseWrite, &memoryTell};
    SF_INFO info{};
    SNDFILE *file = sf_open_virtual(&callbacks, SFM_READ, &info, &io);
    if (!file)
        return std::nullopt;
    sf_close(file);
    if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_CAF || info.frames < 0)
        return std::nullopt;
    return CafHeader{info.format, info.samplerate, info.channels, info.frames};
}

bool CafHeader::isRecording() const
{
    return (format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16 && channels == 1;
}
