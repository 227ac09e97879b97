#pragma once

#include <QObject>
#include <QTimer>

namespace platform {

// Lets a request through once per turn of the event loop. Any client of the session bus can
// send a burst of the same call; the ones that arrive together do the work once, and the
// next turn lets one through again.
class OncePerTurn {
public:
    // The timer that opens the next turn lives as long as `owner`.
    explicit OncePerTurn(QObject *owner) : owner(owner) {}

    // True for the first request of this turn.
    bool take()
    {
        if (taken)
            return false;
        taken = true;
        QTimer::singleShot(0, owner, [this] { taken = false; });
        return true;
    }

private:
    QObject *owner;
    bool taken = false;
};

} // namespace platform
