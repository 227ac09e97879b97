#include "platform/LoginStart.h"

#ifndef REGISTRATORE_PORTABLE
#include "platform/loginstart/freedesktop/AutostartEntry.h"
#endif

namespace platform {

std::unique_ptr<LoginStart> makeSystemLoginStart()
{
#ifdef REGISTRATORE_PORTABLE
    // Qt has no login items: macOS's (SMAppService) and Windows' (the Run key) want a backend
    // of their own.
    return nullptr;
#else
    return std::make_unique<AutostartEntry>();
#endif
}

} // namespace platform
