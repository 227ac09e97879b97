#include "platform/singleinstance/qt/LocalSocketChannel.h"

#include "platform/OncePerTurn.h"

#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace platform {

namespace {
constexpr int answerMilliseconds = 1000;
// Stopping completes the file before the answer.
constexpr int commandMilliseconds = 10000;
// A line longer than any request (the longest is a path, percent-encoded) is not one: the
// client is dropped.
constexpr qint64 longestRequest = 3 * SingleInstance::longestPath + 64;
const QByteArray reopenRequest = "reopen\n";
const QByteArray openRequest = "open ";
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

QByteArray answerLine(const SingleInstance::Answer &answer)
{
    using Outcome = SingleInstance::Answer::Outcome;
    if (answer.outcome == Outcome::Starting)
        return startingAnswer;
    // One line each way: a line break in the text would end the answer early.
    return (answer.outcome == Outcome::Done ? doneAnswer : refusedAnswer) +
           answer.text.simplified().toUtf8() + '\n';
}
// Whether a line comes within `milliseconds`. Events are handled while waiting, so that a
// recorder asking itself (in a test) answers too.
bool waitForLine(QLocalSocket &socket, int milliseconds)
{
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    timeout.start(milliseconds);
    while (!socket.canReadLine() && timeout.isActive() && socket.state() == QLocalSocket::ConnectedState)
        loop.exec();
    return socket.canReadLine();
}

} // namespace

LocalSocketChannel::LocalSocketChannel(SingleInstance &owner, const QString &applicationId)
    : owner(owner), path(socketPath(applicationId))
{
}

LocalSocketChannel::~LocalSocketChannel() = default;

bool LocalSocketChannel::handOverToRunning()
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(answerMilliseconds))
        return false;
    socket.write(reopenRequest);
    return socket.waitForBytesWritten(answerMilliseconds);
}

bool LocalSocketChannel::handOverFile(const QString &file)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(answerMilliseconds))
        return false;
    // Percent-encoded, a name with a line break in it is still one line.
    socket.write(openRequest + QUrl::toPercentEncoding(file) + '\n');
    return socket.waitForBytesWritten(answerMilliseconds);
}

SingleInstance::Answer LocalSocketChannel::sendCommand(const QString &action)
{
    using Answer = SingleInstance::Answer;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(answerMilliseconds))
        return {Answer::Outcome::NoneRunning, socket.errorString()};
    socket.write(commandRequest + action.simplified().toUtf8() + '\n');
    if (!waitForLine(socket, commandMilliseconds))
        return {Answer::Outcome::Refused,
                QStringLiteral("the running recorder did not answer (%1)").arg(socket.errorString())};
    const QByteArray line = socket.readLine().chopped(1);
    const auto text = [&line](const QByteArray &kind) { return QString::fromUtf8(line.mid(kind.size())); };
    if (line.startsWith(doneAnswer))
        return {Answer::Outcome::Done, text(doneAnswer)};
    if (line + '\n' == startingAnswer)
        return {Answer::Outcome::Starting, QStringLiteral("the recorder is starting")};
    if (line.startsWith(refusedAnswer))
        return {Answer::Outcome::Refused, text(refusedAnswer)};
    return {Answer::Outcome::Refused,
            QStringLiteral("the running recorder gave an answer that is not one: %1")
                .arg(QString::fromUtf8(line))};
}

bool LocalSocketChannel::listen(QString *error)
{
    server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        // Left behind by a recorder that was killed: nobody answered on it.
        QLocalServer::removeServer(path);
        if (!server->listen(path)) {
            *error = server->errorString();
            server.reset();
            return false;
        }
    }
    reopening = std::make_unique<OncePerTurn>(server.get());
    opening = std::make_unique<OncePerTurn>(server.get());
    QObject::connect(server.get(), &QLocalServer::newConnection, server.get(), [this] {
        while (QLocalSocket *client = server->nextPendingConnection()) {
            QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            QObject::connect(client, &QLocalSocket::readyRead, client, [this, client] {
                while (client->canReadLine()) {
                    const QByteArray line = client->readLine(longestRequest);
                    if (!line.endsWith('\n')) {
                        client->abort();
                        return;
                    }
                    // A burst of requests opens the panel once.
                    if (line == reopenRequest && reopening->take())
                        emit owner.reopenRequested();
                    else if (line.startsWith(openRequest) && opening->take())
                        owner.receiveFiles(
                            {QUrl::fromPercentEncoding(line.mid(openRequest.size()).chopped(1))});
                    else if (line.startsWith(commandRequest))
                        client->write(answerLine(
                            owner.answer(QString::fromUtf8(line.mid(commandRequest.size()).chopped(1)))));
                }
                if (client->bytesAvailable() >= longestRequest)
                    client->abort();
            });
        }
    });
    return true;
}

} // namespace platform
