// Preloaded into a process under test (LD_PRELOAD), this makes a disk that stalls: while the
// file named by REGISTRATORE_STALL_CONTROL exists, write() and pwrite() on any file whose path
// contains REGISTRATORE_STALL_PATH wait. Other descriptors are not touched.

#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

bool stallsOn(int fd)
{
    static const char *const pattern = std::getenv("REGISTRATORE_STALL_PATH");
    static const char *const control = std::getenv("REGISTRATORE_STALL_CONTROL");
    if (!pattern || !*pattern || !control || !*control)
        return false;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[PATH_MAX];
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length <= 0)
        return false;
    target[length] = '\0';
    if (!std::strstr(target, pattern))
        return false;
    struct stat status;
    return stat(control, &status) == 0;
}

void waitWhileStalled(int fd)
{
    const timespec tick{0, 10 * 1000 * 1000};
    while (stallsOn(fd))
        nanosleep(&tick, nullptr);
}

template <class F> F next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

ssize_t write(int fd, const void *data, size_t size)
{
    static const auto real = next<ssize_t (*)(int, const void *, size_t)>("write");
    waitWhileStalled(fd);
    return real(fd, data, size);
}

ssize_t pwrite(int fd, const void *data, size_t size, off_t offset)
{
    static const auto real = next<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite");
    waitWhileStalled(fd);
    return real(fd, data, size, offset);
}

ssize_t pwrite64(int fd, const void *data, size_t size, off64_t offset)
{
    static const auto real = next<ssize_t (*)(int, const void *, size_t, off64_t)>("pwrite64");
    waitWhileStalled(fd);
    return real(fd, data, size, offset);
}
}
