#pragma once

namespace platform {

// SIGTERM, SIGINT and SIGHUP (logout) end the application through its normal quit, so a
// running recording is completed first. Call once the application object exists. A request
// that comes while the event loop is not running yet is kept: see terminationRequested().
void quitOnTerminationSignals();

// Whether SIGTERM, SIGINT or SIGHUP came since quitOnTerminationSignals(). The event loop
// drops a quit asked before it runs: check this before starting it.
bool terminationRequested();

} // namespace platform
