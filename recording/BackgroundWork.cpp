#include "recording/BackgroundWork.h"

#include <QMetaObject>

BackgroundWork::BackgroundWork(std::function<void()> work, QObject *context, std::function<void()> ended)
    : thread_([this, work = std::move(work), context, ended = std::move(ended)] {
          work();
          {
              std::lock_guard lock(mutex_);
              done_ = true;
          }
          ended_.notify_all();
          if (context && ended)
              QMetaObject::invokeMethod(context, ended, Qt::QueuedConnection);
      })
{
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
