#pragma once

#include <QObject>
#include <QRect>

#include <functional>
#include <memory>

namespace platform {

// Tells of a click outside the application's windows, so that the popover closes on it: a left
// or right click that goes to another application, or, where the desktop tells no such clicks,
// the application losing activation to another one.
class OutsideClickMonitor : public QObject {
    Q_OBJECT
public:
    // Starts watching. Starting a running monitor changes nothing.
    void start();
    // Stops watching: clickedOutside() does not come again until the next start().
    void stop();
    bool isRunning() const { return running; }

signals:
    void clickedOutside();

protected:
    // Begins (on) or ends watching the desktop. Implementations end it in their destructor too.
    virtual void watch(bool on) = 0;
    // A click outside: clickedOutside(), while running.
    void report();

private:
    bool running = false;
};

// The best monitor this desktop offers. `ownArea` is screen space that belongs to us although no
// window of ours covers it (the status icon in an XEmbed tray): clicks there are not outside.
std::unique_ptr<OutsideClickMonitor> makeOutsideClickMonitor(std::function<QRect()> ownArea);

} // namespace platform
