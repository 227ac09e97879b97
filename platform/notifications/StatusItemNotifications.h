#pragma once

#include "platform/Notifications.h"

namespace platform {

// The status icon's own messages (QSystemTrayIcon's balloon or the system's notification): a
// title and a text, no buttons.
class StatusItemNotifications : public Notifications {
    Q_OBJECT
public:
    explicit StatusItemNotifications(StatusItem &item) : item(item) {}
    void show(const Notice &notice) override;

private:
    StatusItem &item;
};

} // namespace platform
