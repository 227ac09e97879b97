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

// Where there is no session bus: the running recorder listens on a local socket named after the
// application, and a later launch writes a request to it.
class SingleInstance::Channel : public QLocalServer {
public:
    using QLocalServer::QLocalServer;
};

SingleInstance::SingleInstance(const QString &id) : applicationId(id) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOverToRunning()
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(applicationId));
    if (!socket.waitForConnected(answerMilliseconds))
        return false;
    socket.write(reopenRequest);
    return socket.waitForBytesWritten(answerMilliseconds);
}

bool SingleInstance::listen()
{
    const QString path = socketPath(applicationId);
    channel = std::make_unique<Channel>();
    channel->setSocketOptions(QLocalServer::UserAccessOption);
    if (!channel->listen(path)) {
        // Left behind by a recorder that was killed: nobody answered on it.
        QLocalServer::removeServer(path);
        if (!channel->listen(path)) {
            std::fprintf(stderr, "registratore: cannot watch for a second launch: %s\n",
                         qPrintable(channel->errorString()));
            channel.reset();
            return false;
        }
    }
    connect(channel.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = channel->nextPendingConnection()) {
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
