#pragma once

namespace platform {

// The running application as a whole.
class Application {
public:
    virtual ~Application() = default;
    // Ends the application the platform's normal way (the recording is completed first).
    virtual void terminate() = 0;
};

} // namespace platform
