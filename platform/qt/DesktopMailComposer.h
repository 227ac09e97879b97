#pragma once

#include "platform/MailComposer.h"

namespace platform {

// Hands mailto: URLs to the desktop's mail handler through QDesktopServices.
class DesktopMailComposer : public MailComposer {
public:
    void compose(const QUrl &message) override;
};

} // namespace platform
