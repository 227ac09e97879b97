#pragma once

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Tells the thread that started a BackgroundWork that the work has ended.
class BackgroundWorkEnding : public QObject {
    Q_OBJECT
signals:
    void ended();
};

// One piece of work on a thread of its own, for what may wait on something that does not answer
// (a sound server that is stopped): the UI thread waits a moment for it at most, and hears when
// it has ended through the event loop.
class BackgroundWork {
public:
    // Runs `work`; once it has ended, `ended` runs on the thread of `context`, which must outlive
    // this object. `ended` should ask waitFor(0ms) before it uses what the work made.
    BackgroundWork(std::function<void()> work, QObject *context = nullptr, std::function<void()> ended = {});
    // Waits for the work to end.
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork &) = delete;
    BackgroundWork &operator=(const BackgroundWork &) = delete;

    // Whether the work has ended, waiting for it at most `patience`.
    bool waitFor(std::chrono::milliseconds patience);

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false; // guarded by mutex_
    // Made when there is an `ended` to call.
    std::unique_ptr<BackgroundWorkEnding> ending_;
    std::thread thread_;
};
