#pragma once

#include "platform/outsideclicks/DeactivationClickMonitor.h"

#include <memory>

class QWidget;

namespace platform {

// Outside clicks on a Wayland session whose windows go through Xwayland. No X11 client sees the
// clicks that go to Wayland surfaces (other windows, the desktop, the shell's bars), and a click
// on GNOME's empty desktop or on an empty part of a bar moves no focus. So, while running and a
// window of ours shows, a transparent window above everything, with holes where our windows are,
// catches a left or right click and reports it; the click is not passed on, as with the shell's
// own menus. It steps aside while a modal dialog of ours is up: that dialog takes the clicks
// meant for it, and the others reach their windows. Focus going to another application counts
// as a click there too (as in DeactivationClickMonitor).
class ClickCatcher : public DeactivationClickMonitor {
    Q_OBJECT
public:
    ClickCatcher();
    ~ClickCatcher() override;

    // The catching window, while it is up (tests).
    QWidget *catcher() const;

protected:
    void watch(bool on) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Window;
    void scheduleUpdate();
    void update();

    std::unique_ptr<Window> window;
    bool updatePending = false;
};

} // namespace platform
