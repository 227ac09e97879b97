#include "platform/capture/pulse/ServerReconnection.h"

#include <algorithm>

namespace platform {

namespace {

// One attempt gives up after this long (an unreachable server must not use up the bound).
constexpr pa_usec_t kAttemptTimeout = 3 * PA_USEC_PER_SEC;
// A connection is tried this often.
constexpr pa_usec_t kRetryInterval = 200 * PA_USEC_PER_MSEC;

} // namespace

ServerReconnection::ServerReconnection(PulseLoop &loop, pa_usec_t bound, Steps steps)
    : loop_(loop), bound_(bound), steps_(std::move(steps))
{
}

ServerReconnection::~ServerReconnection()
{
    if (thread_.joinable())
        stop();
}

void ServerReconnection::start()
{
    if (stopping_)
        return;
    active_ = true;
    until_ = pa_rtclock_now() + bound_;
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { run(); });
        threadId_ = thread_.get_id();
    }
    loop_.wake();
}

void ServerReconnection::stop()
{
    {
        LoopLock lock(loop_);
        stopping_ = true;
        loop_.cancelWaits();
    }
    if (thread_.joinable())
        thread_.join();
    threadId_ = std::thread::id();
}

void ServerReconnection::run()
{
    LoopLock lock(loop_);
    while (!stopping_) {
        if (active_)
            reconnect();
        else
            loop_.wait();
    }
}

void ServerReconnection::reconnect()
{
    while (!stopping_ && pa_rtclock_now() < until_) {
        if (steps_.connect(std::min(pa_rtclock_now() + kAttemptTimeout, until_))) {
            active_ = false;
            steps_.connected();
            return;
        }
        loop_.waitUntil(std::min(pa_rtclock_now() + kRetryInterval, until_), [&] { return stopping_; });
    }
    active_ = false;
    if (!stopping_)
        steps_.gaveUp();
}

} // namespace platform
