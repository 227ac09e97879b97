#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Requests carried out one after another, in the order they were made, on a thread of their
// own: for work that may wait on something that does not answer (a sound server that is
// stopped), which the caller waits for a moment at most.
class RequestQueue {
public:
    RequestQueue();
    // Carries out what is still queued, then ends the thread.
    ~RequestQueue();
    RequestQueue(const RequestQueue &) = delete;
    RequestQueue &operator=(const RequestQueue &) = delete;

    void post(std::function<void()> request);
    // Whether every request made so far has been carried out, waiting for that at most
    // `patience`.
    bool waitUntilIdle(std::chrono::milliseconds patience);
    // Waits until every request made so far has been carried out.
    void waitUntilIdle();

private:
    void run();

    std::mutex mutex_; // guards what follows, up to the thread
    std::condition_variable changed_;
    std::deque<std::function<void()>> queued_;
    bool busy_ = false;
    bool ending_ = false;
    std::thread thread_;
};
