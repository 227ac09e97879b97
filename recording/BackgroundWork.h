#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// One piece of work on a thread of its own, for what may wait on something that does not answer
// (a sound server that is stopped): the UI thread waits a moment for it and, past that, keeps
// its event loop running while it waits, so that the application never freezes.
class BackgroundWork {
public:
    explicit BackgroundWork(std::function<void()> work);
    // Waits for the work to end.
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork &) = delete;
    BackgroundWork &operator=(const BackgroundWork &) = delete;

    // Whether the work has ended, waiting for it at most `patience`.
    bool waitFor(std::chrono::milliseconds patience);
    // Runs the event loop until the work has ended. False when the application was told to quit
    // first (the work goes on: the destructor waits for it).
    bool waitRunningEvents();

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false; // guarded by mutex_
    std::thread thread_;
};
