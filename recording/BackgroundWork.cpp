#include "recording/BackgroundWork.h"

#include <QEventLoop>
#include <QTimer>

using namespace std::chrono_literals;

BackgroundWork::BackgroundWork(std::function<void()> work)
    : thread_([this, work = std::move(work)] {
          work();
          {
              std::lock_guard lock(mutex_);
              done_ = true;
          }
          ended_.notify_all();
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

bool BackgroundWork::waitRunningEvents()
{
    if (waitFor(0ms))
        return true;
    // A look every few milliseconds: the work's thread need not know of the event loop.
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [this, &loop] {
        if (waitFor(0ms))
            loop.quit();
    });
    look.start(10);
    // Also ends when the application quits, which ends every event loop.
    loop.exec();
    return waitFor(0ms);
}
