#pragma once

#include "platform/capture/pulse/PulseLoop.h"

#include "platform/TranslatableText.h"

#include <functional>
#include <optional>
#include <string>

namespace platform {

// `what`, followed by the reason libpulse gives for the context's last failure.
TranslatableText pulseError(pa_context *context, const TranslatableText &what);

// One connection to the sound server, and the server's default source. Everything here runs
// with the loop locked.
class PulseServerConnection {
public:
    // `lost` is called on the loop's thread when the connection fails after it was made.
    PulseServerConnection(PulseLoop &loop, std::function<void()> lost);
    ~PulseServerConnection();
    PulseServerConnection(const PulseServerConnection &) = delete;
    PulseServerConnection &operator=(const PulseServerConnection &) = delete;

    // Connects, and finds the server's default source, which must be a microphone: false, with
    // the reason in `*error` (when given), when there is none or the server cannot be reached by
    // `until`.
    bool connect(pa_usec_t until, TranslatableText *error);
    // The default source found by connect().
    const std::string &microphone() const { return microphone_; }

    bool good() const;
    pa_context *context() const { return context_; }

    // The server's default source now; nothing when it does not answer by `until`.
    std::optional<std::string> defaultSource(pa_usec_t until);

private:
    bool askDefaultSource(pa_usec_t until);
    bool isMicrophone(const std::string &name, pa_usec_t until, bool &answered);

    PulseLoop &loop_;
    std::function<void()> lost_;
    pa_context *context_ = nullptr;
    std::string microphone_;
    // Answers of the server, members so that a late one after a timeout lands in live memory.
    struct Lookup {
        bool done = false;
        std::string name;
        bool found = false;
        bool monitor = false;
    } lookup_;
};

} // namespace platform
