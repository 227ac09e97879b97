#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <cstdio>

namespace platform {

namespace {
constexpr int answerMilliseconds = 1000;
const QByteArray reopenRequest = "reopen\n";

QString socketPath(const QString &name)
{
    // The runtime folder is private to the user and the session.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(name);
}
} // namespace

SingleInstance::SingleInstance(const QString &name) : serverName(socketPath(name)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOverToRunning()
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(answerMilliseconds))
        return false;
    socket.write(reopenRequest);
    return socket.waitForBytesWritten(answerMilliseconds);
}

bool SingleInstance::listen()
{
    server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(serverName)) {
        // Left behind by a recorder that was killed: nobody answered on it.
        QLocalServer::removeServer(serverName);
        if (!server->listen(serverName)) {
            std::fprintf(stderr, "registratore: cannot watch for a second launch: %s\n",
                         qPrintable(server->errorString()));
            return false;
        }
    }
    connect(server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = server->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (client->canReadLine() && client->readLine() == reopenRequest)
                    emit reopenRequested();
            });
        }
    });
    return true;
}

} // namespace platform
