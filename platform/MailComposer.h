#pragma once

#include <QUrl>

namespace platform {

// Opens a new message in the user's mail program.
class MailComposer {
public:
    virtual ~MailComposer() = default;
    // `message` is a mailto: URL with the recipient, subject and body.
    virtual void compose(const QUrl &message) = 0;
};

} // namespace platform
