#include "platform/qt/DesktopMailComposer.h"

#include <QDesktopServices>

#include <cstdio>

namespace platform {

void DesktopMailComposer::compose(const QUrl &message)
{
    if (!QDesktopServices::openUrl(message))
        std::fputs("registratore: the desktop has no mail program to write the message with\n", stderr);
}

} // namespace platform
