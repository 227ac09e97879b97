#include "platform/DisplayLossGuard.h"

#include <QString>
#include <QtGlobal>

#include <cstdlib>
#include <mutex>
#include <utility>

namespace platform {

namespace {

// Qt's X11 and Wayland connections say this just before they end the process: the X11 one
// with exit(1), the Wayland one with _exit(1), which runs nothing after it.
bool saysDisplayLost(const QString &message)
{
    return message.startsWith(QLatin1String("The X11 connection broke")) ||
           message.startsWith(QLatin1String("The Wayland connection"));
}

// Held while `finish` runs, so that a second thread ending the process waits for it. Both
// live as long as the process: the destructors of statics run after the exit handler.
std::recursive_mutex finishing;
std::function<void()> armed;
QtMessageHandler passOn = nullptr;
bool handlersInstalled = false;

void finishNow()
{
    std::lock_guard lock(finishing);
    if (const std::function<void()> finish = std::exchange(armed, nullptr))
        finish();
}

void watchMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (passOn)
        passOn(type, context, message);
    if (type == QtWarningMsg && saysDisplayLost(message))
        finishNow();
}

} // namespace

DisplayLossGuard::DisplayLossGuard(std::function<void()> finish)
{
    std::lock_guard lock(finishing);
    armed = std::move(finish);
    if (std::exchange(handlersInstalled, true))
        return;
    passOn = qInstallMessageHandler(watchMessages);
    // Registered after Qt's own statics, so it runs before their destructors: for an exit()
    // whose message was not recognised.
    std::atexit(finishNow);
}

DisplayLossGuard::~DisplayLossGuard()
{
    std::lock_guard lock(finishing);
    armed = nullptr;
}

} // namespace platform
