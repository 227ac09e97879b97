#pragma once

#include "platform/Application.h"

namespace platform {

// Ends the Qt event loop; the recorder completes its recording on the way out.
class QtApplication : public Application {
public:
    void terminate() override;
};

} // namespace platform
