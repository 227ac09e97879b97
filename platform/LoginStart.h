#pragma once

#include <QString>

#include <memory>

namespace platform {

// Whether the desktop starts the recorder when the user logs in.
class LoginStart {
public:
    virtual ~LoginStart() = default;
    // Whether the desktop starts the recorder at login now: read each time, as another tool (the
    // desktop's own settings, a file manager) may have changed it meanwhile.
    virtual bool isEnabled() const = 0;
    // Has the desktop start the recorder at login, or no longer. False, with why in `*error` in
    // words for the user, when that could not be done.
    virtual bool setEnabled(bool enabled, QString *error = nullptr) = 0;
};

// The desktop's way of starting the recorder at login; null where the build has none.
std::unique_ptr<LoginStart> makeSystemLoginStart();

} // namespace platform
