#pragma once

#include "platform/SingleInstance.h"

#include <memory>

class QLocalServer;

namespace platform {

class OncePerTurn;

// Where there is no session bus (macOS, Windows): the running recorder listens on a local socket
// named after the application, in the user's runtime folder, and a later launch writes one line
// to it: "reopen", "open <path, percent-encoded>", or "command <action>", answered by
// "done <text>", "refused <text>" or "starting". A socket left behind by a recorder that was killed is taken
// over.
class LocalSocketChannel {
public:
    LocalSocketChannel(SingleInstance &owner, const QString &applicationId);
    ~LocalSocketChannel();
    LocalSocketChannel(const LocalSocketChannel &) = delete;
    LocalSocketChannel &operator=(const LocalSocketChannel &) = delete;

    bool handOverToRunning();
    bool handOverFile(const QString &path);
    SingleInstance::Answer sendCommand(const QString &action);
    bool listen(QString *error);

private:
    SingleInstance &owner;
    const QString path;
    std::unique_ptr<QLocalServer> server;
    std::unique_ptr<OncePerTurn> reopening;
    std::unique_ptr<OncePerTurn> opening;
};

} // namespace platform
