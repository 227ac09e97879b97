#include "platform/FolderProbe.h"

#include <QFile>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include <sys/stat.h>

namespace platform {

namespace {

struct Probe {
    std::mutex mutex;
    std::condition_variable answered;
    std::optional<bool> folder; // guarded by `mutex`
};

// The probes still waiting for the file system, by path. Never destroyed: a probe stuck in the
// kernel may come back to it while the process exits.
struct Pending {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<Probe>> probes;
};
Pending &pending()
{
    static auto *const all = new Pending;
    return *all;
}

} // namespace

std::optional<bool> isFolderWithin(const QString &path, std::chrono::milliseconds patience)
{
    const std::string name = QFile::encodeName(path).toStdString();
    std::shared_ptr<Probe> probe;
    {
        std::lock_guard lock(pending().mutex);
        std::shared_ptr<Probe> &slot = pending().probes[name];
        if (!slot) {
            slot = std::make_shared<Probe>();
            // Detached: nobody may wait for it to end. It touches nothing but its own probe.
            try {
                std::thread([name, probe = slot] {
                    struct stat status {};
                    const bool folder = ::stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
                    {
                        std::lock_guard lock(pending().mutex);
                        pending().probes.erase(name);
                    }
                    {
                        std::lock_guard lock(probe->mutex);
                        probe->folder = folder;
                    }
                    probe->answered.notify_all();
                }).detach();
            } catch (const std::system_error &) {
                pending().probes.erase(name); // no thread to be had: no answer
                return std::nullopt;
            }
        }
        probe = slot;
    }
    std::unique_lock lock(probe->mutex);
    probe->answered.wait_for(lock, patience, [&] { return probe->folder.has_value(); });
    return probe->folder;
}

} // namespace platform
