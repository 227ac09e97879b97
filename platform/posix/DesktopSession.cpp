#include "platform/DesktopSession.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace platform {

namespace {
int signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t quitRequested = 0;

void forwardSignal(int signal)
{
    // Kept first: whoever reads the byte may look at the flag at once.
    quitRequested = 1;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

bool set(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}
} // namespace

bool hasGraphicalSession(std::string &why)
{
    if (set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM"))
        return true;
    why = "No graphical display found: start the recorder from a desktop session (neither DISPLAY nor "
          "WAYLAND_DISPLAY is set).";
    return false;
}

namespace {
bool choseXwayland = false;
}

bool waylandSession()
{
    return set("WAYLAND_DISPLAY");
}

void preferPlaceableWindows(int argc, char **argv)
{
    if (!waylandSession() || !set("DISPLAY") || set("QT_QPA_PLATFORM"))
        return;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return;
    }
    choseXwayland = ::setenv("QT_QPA_PLATFORM", "xcb", 1) == 0;
}

void windowSystemChosen()
{
    if (choseXwayland)
        ::unsetenv("QT_QPA_PLATFORM");
    choseXwayland = false;
}

void quitOnTerminationSignals()
{
    if (signalPipe[0] != -1 || ::pipe(signalPipe) != 0)
        return;
    // The handler only writes to a pipe; the quit itself runs in the event loop.
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char byte;
        [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool terminationRequested()
{
    return quitRequested != 0;
}

} // namespace platform
