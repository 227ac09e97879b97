#include "platform/capture/pulse/PulseLoop.h"

namespace platform {

PulseLoop::PulseLoop() : loop_(pa_threaded_mainloop_new()) {}

PulseLoop::~PulseLoop()
{
    if (!loop_)
        return;
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

bool PulseLoop::start()
{
    return loop_ && pa_threaded_mainloop_start(loop_) >= 0;
}

bool PulseLoop::inThread() const
{
    return pa_threaded_mainloop_in_thread(loop_);
}

pa_mainloop_api *PulseLoop::api() const
{
    return pa_threaded_mainloop_get_api(loop_);
}

void PulseLoop::lock()
{
    pa_threaded_mainloop_lock(loop_);
}

void PulseLoop::unlock()
{
    pa_threaded_mainloop_unlock(loop_);
}

void PulseLoop::wake()
{
    pa_threaded_mainloop_signal(loop_, 0);
}

void PulseLoop::wakeWaiters()
{
    if (waiters_ > 0)
        wake();
}

void PulseLoop::cancelWaits()
{
    cancelled_ = true;
    wake();
}

void PulseLoop::wait()
{
    pa_threaded_mainloop_wait(loop_);
}

pa_time_event *PulseLoop::armDeadline(pa_usec_t until, Deadline &deadline)
{
    // The loop's timers take wall-clock times; the deadline is on the monotonic clock.
    const pa_usec_t now = pa_rtclock_now();
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, until > now ? until - now : 0);
    return api()->time_new(
        api(), &when,
        [](pa_mainloop_api *, pa_time_event *, const timeval *, void *self) {
            auto *deadline = static_cast<Deadline *>(self);
            deadline->passed = true;
            deadline->loop->wake();
        },
        &deadline);
}

} // namespace platform
