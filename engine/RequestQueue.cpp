#include "engine/RequestQueue.h"

RequestQueue::RequestQueue() : thread_([this] { run(); }) {}

RequestQueue::~RequestQueue()
{
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void RequestQueue::post(std::function<void()> request)
{
    {
        std::lock_guard lock(mutex_);
        queued_.push_back(std::move(request));
    }
    changed_.notify_all();
}

bool RequestQueue::waitUntilIdle(std::chrono::milliseconds patience)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, patience, [this] { return queued_.empty() && !busy_; });
}

void RequestQueue::waitUntilIdle()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_.empty() && !busy_; });
}

void RequestQueue::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queued_.empty() || ending_; });
        if (queued_.empty())
            return;
        std::function<void()> request = std::move(queued_.front());
        queued_.pop_front();
        busy_ = true;
        lock.unlock();
        request();
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}
