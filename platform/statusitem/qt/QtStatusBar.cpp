#include "platform/statusitem/qt/QtStatusBar.h"

#include "platform/statusitem/TrayStatusItem.h"

#include <QSystemTrayIcon>

namespace platform {

bool QtStatusBar::showing()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

std::unique_ptr<StatusItem> QtStatusBar::makeItem(bool)
{
    return std::make_unique<TrayStatusItem>();
}

} // namespace platform
