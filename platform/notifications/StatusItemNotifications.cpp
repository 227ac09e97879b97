#include "platform/notifications/StatusItemNotifications.h"

#include "platform/StatusItem.h"

namespace platform {

void StatusItemNotifications::show(const Notice &notice)
{
    item.showMessage(notice.title, notice.body);
}

} // namespace platform
