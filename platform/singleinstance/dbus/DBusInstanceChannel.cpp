#include "platform/singleinstance/dbus/DBusInstanceChannel.h"

#include "platform/OncePerTurn.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>

namespace platform {

namespace {
constexpr int answerMilliseconds = 1000;
// Stopping completes the file before the answer.
constexpr int commandMilliseconds = 10000;
const QString objectPath = QStringLiteral("/org/registratore/Instance");
const QString interfaceName = QStringLiteral("org.registratore.Instance");
const QString refusedError = QStringLiteral("org.registratore.Instance.Refused");
const QString startingError = QStringLiteral("org.registratore.Instance.Starting");
const QString listeningConnection = QStringLiteral("registratore-instance");

// The running recorder answers later launches on a session bus connection of its own. Any client
// of the bus can flood the application's main connection (the status item and its menu are
// there) faster than it is read; commands queue apart from that and are answered at once.
QDBusConnection listeningBus()
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, listeningConnection);
}
} // namespace

// The object the running recorder exports. Command(s action) -> s answers with the state the
// action left, or with the error org.registratore.Instance.Refused and the reason.
class DBusInstanceChannel::Service : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.registratore.Instance")
public:
    explicit Service(SingleInstance &owner) : owner(owner), reopening(this), opening(this) {}

public slots:
    // Any client of the session bus can call: a burst of calls opens the panel once.
    Q_SCRIPTABLE void Reopen()
    {
        if (reopening.take())
            emit owner.reopenRequested();
    }
    // The same for files: a burst of calls opens the first file asked for.
    Q_SCRIPTABLE void Open(const QStringList &paths)
    {
        if (opening.take())
            owner.receiveFiles(paths);
    }
    Q_SCRIPTABLE QString Command(const QString &action)
    {
        using Outcome = SingleInstance::Answer::Outcome;
        const SingleInstance::Answer answer = owner.answer(action);
        if (answer.outcome != Outcome::Done)
            sendErrorReply(answer.outcome == Outcome::Starting ? startingError : refusedError, answer.text);
        return answer.text;
    }

private:
    SingleInstance &owner;
    OncePerTurn reopening;
    OncePerTurn opening;
};

DBusInstanceChannel::DBusInstanceChannel(SingleInstance &owner, const QString &applicationId)
    : owner(owner), applicationId(applicationId)
{
}

DBusInstanceChannel::~DBusInstanceChannel()
{
    if (!service)
        return;
    QDBusConnection bus = listeningBus();
    bus.interface()->unregisterService(applicationId);
    bus.unregisterObject(objectPath);
    QDBusConnection::disconnectFromBus(listeningConnection);
}

bool DBusInstanceChannel::handOverToRunning()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage reopen =
        QDBusMessage::createMethodCall(applicationId, objectPath, interfaceName, QStringLiteral("Reopen"));
    reopen.setAutoStartService(false);
    // Events are handled while waiting, so that a recorder asking itself (in a test) answers too.
    return bus.call(reopen, QDBus::BlockWithGui, answerMilliseconds).type() == QDBusMessage::ReplyMessage;
}

bool DBusInstanceChannel::handOverFile(const QString &path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage open =
        QDBusMessage::createMethodCall(applicationId, objectPath, interfaceName, QStringLiteral("Open"));
    open << QStringList{path};
    open.setAutoStartService(false);
    return bus.call(open, QDBus::BlockWithGui, answerMilliseconds).type() == QDBusMessage::ReplyMessage;
}

SingleInstance::Answer DBusInstanceChannel::sendCommand(const QString &action)
{
    using Answer = SingleInstance::Answer;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {Answer::Outcome::Refused,
                QStringLiteral("no session bus (%1)").arg(bus.lastError().message())};
    QDBusMessage command =
        QDBusMessage::createMethodCall(applicationId, objectPath, interfaceName, QStringLiteral("Command"));
    command << action;
    command.setAutoStartService(false);
    const QDBusMessage reply = bus.call(command, QDBus::BlockWithGui, commandMilliseconds);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return {Answer::Outcome::Done, reply.arguments().value(0).toString()};
    const QString error = reply.errorName();
    if (error == refusedError)
        return {Answer::Outcome::Refused, reply.errorMessage()};
    if (error == startingError)
        return {Answer::Outcome::Starting, reply.errorMessage()};
    if (error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return {Answer::Outcome::NoneRunning, reply.errorMessage()};
    return {Answer::Outcome::Refused,
            QStringLiteral("the running recorder did not answer (%1)").arg(reply.errorMessage())};
}

bool DBusInstanceChannel::listen(QString *error)
{
    QDBusConnection bus = listeningBus();
    const auto fail = [error](const QString &why) {
        *error = why;
        return false;
    };
    if (!bus.isConnected())
        return fail(QStringLiteral("no session bus (%1)").arg(bus.lastError().message()));
    service = std::make_unique<Service>(owner);
    if (!bus.registerObject(objectPath, service.get(), QDBusConnection::ExportScriptableSlots)) {
        service.reset();
        return fail(QStringLiteral("the object path %1 is taken").arg(objectPath));
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> owned =
        bus.interface()->registerService(applicationId, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!owned.isValid() || owned.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(objectPath);
        service.reset();
        return fail(owned.isValid() ? QStringLiteral("%1 is owned by another process").arg(applicationId)
                                    : owned.error().message());
    }
    return true;
}

} // namespace platform

#include "DBusInstanceChannel.moc"
