#pragma once

#include <functional>
#include <string>

namespace platform {

// Whether a graphical session can be reached; `why` says what is missing when not.
bool hasGraphicalSession(std::string &why);

// On a Wayland session that also offers an X server (Xwayland), sends the windows through it
// unless the user chose a platform (QT_QPA_PLATFORM, -platform): Wayland lets no client place
// its windows, and the popover must open at the status icon. Call before the application object
// exists, and windowSystemChosen() once it does, so that the programs we start are not told.
void preferPlaceableWindows(int argc, char **argv);
void windowSystemChosen();

// Whether the session is a Wayland one, whichever way our windows go.
bool waylandSession();

// SIGTERM, SIGINT and SIGHUP (logout) end the application through its normal quit, so a
// running recording is completed first. Call once the application object exists. A request
// that comes while the event loop is not running yet is kept: see terminationRequested().
void quitOnTerminationSignals();

// Whether SIGTERM, SIGINT or SIGHUP came since quitOnTerminationSignals(). The event loop
// drops a quit asked before it runs: check this before starting it.
bool terminationRequested();

// While it exists, runs `finish` when the display connection is lost (the X server or the
// Wayland compositor gone): the toolkit then ends the process at once, without returning to
// the event loop. `finish` runs at most once, before the process' static objects are
// destroyed, on the thread that ends the process; it must not touch widgets. One at a time.
class DisplayLossGuard {
public:
    explicit DisplayLossGuard(std::function<void()> finish);
    ~DisplayLossGuard();
    DisplayLossGuard(const DisplayLossGuard &) = delete;
    DisplayLossGuard &operator=(const DisplayLossGuard &) = delete;
};

} // namespace platform
