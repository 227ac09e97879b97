#pragma once

#include <pulse/pulseaudio.h>
#include <pulse/rtclock.h>

namespace platform {

// libpulse's threaded main loop: the thread on which every callback of the server connection
// and of the stream runs, and the lock that guards their state. The other threads lock it to
// use them and wait on it for answers.
class PulseLoop {
public:
    PulseLoop();
    ~PulseLoop(); // stops the thread; call unlocked
    PulseLoop(const PulseLoop &) = delete;
    PulseLoop &operator=(const PulseLoop &) = delete;

    bool valid() const { return loop_ != nullptr; }
    bool start();
    bool inThread() const;
    pa_mainloop_api *api() const;
    void lock();
    void unlock();

    // Wakes every thread waiting below. Loop locked.
    void wake();
    // Wakes the waiters of waitUntil() only, and only when there are some (every fragment of
    // audio does this; the reconnecting thread need not hear it). Loop locked.
    void wakeWaiters();
    // Waits for wake(). Loop locked.
    void wait();
    // Ends every wait now and later at once: the loop is going away. Loop locked.
    void cancelWaits();

    // Waits until done() holds or pa_rtclock_now() passes `until`. Returns done(). Loop locked,
    // not on the loop's thread.
    template <typename Done> bool waitUntil(pa_usec_t until, Done done)
    {
        if (done())
            return true;
        Deadline deadline{this};
        pa_time_event *timer = armDeadline(until, deadline);
        ++waiters_;
        while (!done() && !deadline.passed && !cancelled_)
            wait();
        --waiters_;
        if (timer)
            api()->time_free(timer);
        return done();
    }

private:
    struct Deadline {
        PulseLoop *loop;
        bool passed = false;
    };
    pa_time_event *armDeadline(pa_usec_t until, Deadline &deadline);

    pa_threaded_mainloop *loop_;
    int waiters_ = 0;
    bool cancelled_ = false;
};

class LoopLock {
public:
    explicit LoopLock(PulseLoop &loop) : loop_(loop) { loop_.lock(); }
    ~LoopLock() { loop_.unlock(); }
    LoopLock(const LoopLock &) = delete;
    LoopLock &operator=(const LoopLock &) = delete;

private:
    PulseLoop &loop_;
};

inline void forget(pa_operation *operation)
{
    if (operation)
        pa_operation_unref(operation);
}

} // namespace platform
