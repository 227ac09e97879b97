#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <cstdio>

namespace platform {

namespace {
constexpr int answerMilliseconds = 1000;
// Stopping completes the file before the answer.
constexpr int commandMilliseconds = 10000;
const QByteArray reopenRequest = "reopen\n";
// "command <action>\n", answered by "done <text>\n", "refused <text>\n" or "starting\n".
const QByteArray commandRequest = "command ";
const QByteArray doneAnswer = "done ";
const QByteArray refusedAnswer = "refused ";
const QByteArray startingAnswer = "starting\n";

QString socketPath(const QString &name)
{
    // The runtime folder is private to the user and the session.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(name);
}

QByteArray answerLine(const SingleInstance::CommandHandler &handler, const QString &action)
{
    if (!handler)
        return startingAnswer;
    // One line each way: a line break in the text would end the answer early.
    const SingleInstance::Answer answer = handler(action);
    const QByteArray text = answer.text.simplified().toUtf8() + '\n';
    return (answer.outcome == SingleInstance::Answer::Outcome::Done ? doneAnswer : refusedAnswer) + text;
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

SingleInstance::Answer SingleInstance::sendCommand(const QString &action)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(applicationId));
    if (!socket.waitForConnected(answerMilliseconds))
        return {Answer::Outcome::NoneRunning, socket.errorString()};
    socket.write(commandRequest + action.toUtf8() + '\n');
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(commandMilliseconds))
            return {Answer::Outcome::Refused,
                    QStringLiteral("the running recorder did not answer (%1)").arg(socket.errorString())};
    }
    const QByteArray line = socket.readLine().chopped(1);
    if (line.startsWith(doneAnswer))
        return {Answer::Outcome::Done, QString::fromUtf8(line.mid(doneAnswer.size()))};
    if (line + '\n' == startingAnswer)
        return {Answer::Outcome::Starting, QStringLiteral("the recorder is starting")};
    return {Answer::Outcome::Refused, QString::fromUtf8(line.mid(refusedAnswer.size()))};
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
                while (client->canReadLine()) {
                    const QByteArray line = client->readLine();
                    if (line == reopenRequest)
                        emit reopenRequested();
                    else if (line.startsWith(commandRequest))
                        client->write(answerLine(
                            commandHandler, QString::fromUtf8(line.mid(commandRequest.size()).chopped(1))));
                }
            });
        }
    });
    return true;
}

} // namespace platform
