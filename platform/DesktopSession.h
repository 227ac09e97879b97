#pragma once

#include <string>

namespace platform {

// Whether a graphical session can be reached; `why` says what is missing when not.
bool hasGraphicalSession(std::string &why);

// SIGTERM, SIGINT and SIGHUP (logout) end the application through its normal quit, so a
// running recording is completed first. Call once the application object exists.
void quitOnTerminationSignals();

} // namespace platform
