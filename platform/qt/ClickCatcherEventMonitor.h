#pragma once

#include "platform/qt/DeactivationEventMonitor.h"

#include <memory>

class QWidget;

namespace platform {

// For a Wayland session whose windows go through Xwayland. No X11 client sees the clicks that
// go to Wayland surfaces (other windows, the desktop, the shell's bars), and a click on GNOME's
// empty desktop or on an empty part of a bar moves no focus. So, while a monitor is installed
// and a window of ours shows, a transparent window above everything, with holes where our
// windows are, catches the click and reports it; the click is not passed on, as with the
// shell's own menus. It steps aside while a modal dialog of ours is up: that dialog takes the
// clicks meant for it, and the others reach their windows. Focus going to another application
// counts as a click there too (as in DeactivationEventMonitor).
class ClickCatcherEventMonitor : public DeactivationEventMonitor {
    Q_OBJECT
public:
    ClickCatcherEventMonitor();
    ~ClickCatcherEventMonitor() override;

    Token addMonitor(std::uint64_t mask, Callback callback) override;
    void removeMonitor(Token token) override;
    // The catching window, while it is up (tests).
    QWidget *catcher() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Catcher;
    void scheduleUpdate();
    void update();

    std::unique_ptr<Catcher> window;
    bool updatePending = false;
};

} // namespace platform
