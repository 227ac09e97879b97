#include "recording/BackgroundWork.h"

BackgroundWork::BackgroundWork(std::function<void()> work, QObject *context, std::function<void()> ended)
{
    // Connected here, on the caller's thread, and signalled from the work's thread: the call that
    // Qt queues for `context` is made of what this thread built, never of what the work's thread
    // did, so nothing passes between them outside Qt's own locks.
    if (context && ended) {
        ending_ = std::make_unique<BackgroundWorkEnding>();
        QObject::connect(ending_.get(), &BackgroundWorkEnding::ended, context, std::move(ended),
                         Qt::QueuedConnection);
    }
    thread_ = std::thread([this, work = std::move(work)] {
        work();
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        ended_.notify_all();
        if (ending_)
            emit ending_->ended();
    });
}

BackgroundWork::~BackgroundWork()
{
    thread_.join();
}

bool BackgroundWork::waitFor(std::chrono::milliseconds patience)
{
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, patience, [this] { return done_; });
}
