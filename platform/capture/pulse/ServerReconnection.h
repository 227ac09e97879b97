#pragma once

#include "platform/capture/pulse/PulseLoop.h"

#include <atomic>
#include <functional>
#include <thread>

namespace platform {

// Waits for a sound server that went away to come back, and connects to it: on a thread of its
// own (the loop's thread must go on dispatching), a connection tried every moment until it
// works or the bound passes.
class ServerReconnection {
public:
    struct Steps {
        // Tries to connect by `until`; false leaves nothing behind. Loop locked.
        std::function<bool(pa_usec_t until)> connect;
        // Connected again, or given up when the bound passed. Loop locked.
        std::function<void()> connected;
        std::function<void()> gaveUp;
    };

    ServerReconnection(PulseLoop &loop, pa_usec_t bound, Steps steps);
    ~ServerReconnection(); // stop() first
    ServerReconnection(const ServerReconnection &) = delete;
    ServerReconnection &operator=(const ServerReconnection &) = delete;

    // The server went away. Loop locked.
    void start();
    // Between start() and connected() or gaveUp(). Loop locked.
    bool active() const { return active_; }
    // Ends the reconnecting and its thread. Loop unlocked.
    void stop();
    bool onThread() const { return std::this_thread::get_id() == threadId_.load(); }

private:
    void run();
    void reconnect();

    PulseLoop &loop_;
    const pa_usec_t bound_;
    const Steps steps_;
    std::thread thread_; // started at the first outage
    std::atomic<std::thread::id> threadId_;
    // Guarded by the loop lock:
    bool active_ = false;
    bool stopping_ = false;
    pa_usec_t until_ = 0;
};

} // namespace platform
