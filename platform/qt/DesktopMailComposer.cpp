#include "platform/qt/DesktopMailComposer.h"

#include "platform/Log.h"

#include <QDesktopServices>

namespace platform {

void DesktopMailComposer::compose(const QUrl &message)
{
    if (!QDesktopServices::openUrl(message))
        Log::diagnostic(QStringLiteral("the desktop has no mail program to write the message with"));
}

} // namespace platform
