#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
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
} // namespace

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
