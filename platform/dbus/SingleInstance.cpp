#include "platform/SingleInstance.h"

#include "platform/dbus/OncePerTurn.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>

#include <cstdio>

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

// The running recorder owns the application id as a name on the session bus and answers Reopen
// there. The bus gives a name to one connection at a time and takes it back when the process
// ends, however it ends, so two launches at once cannot both run and a killed recorder leaves
// nothing behind. Command(s action) -> s answers with the state the action left, or with the
// error org.registratore.Instance.Refused and the reason.
class SingleInstance::Channel : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.registratore.Instance")
public:
    explicit Channel(SingleInstance &owner) : owner(owner), reopening(this) {}

public slots:
    // Any client of the session bus can call: a burst of calls opens the panel once.
    Q_SCRIPTABLE void Reopen()
    {
        if (reopening.take())
            emit owner.reopenRequested();
    }
    Q_SCRIPTABLE QString Command(const QString &action)
    {
        if (!owner.commandHandler) {
            sendErrorReply(startingError, QStringLiteral("the recorder is starting"));
            return {};
        }
        const Answer answer = owner.commandHandler(action);
        if (answer.outcome != Answer::Outcome::Done)
            sendErrorReply(refusedError, answer.text);
        return answer.text;
    }

private:
    SingleInstance &owner;
    OncePerTurn reopening;
};

SingleInstance::SingleInstance(const QString &id) : applicationId(id) {}

SingleInstance::~SingleInstance()
{
    if (!channel)
        return;
    QDBusConnection bus = listeningBus();
    bus.interface()->unregisterService(applicationId);
    bus.unregisterObject(objectPath);
    QDBusConnection::disconnectFromBus(listeningConnection);
}

bool SingleInstance::handOverToRunning()
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

SingleInstance::Answer SingleInstance::sendCommand(const QString &action)
{
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

bool SingleInstance::listen()
{
    QDBusConnection bus = listeningBus();
    const auto fail = [](const QString &why) {
        std::fprintf(stderr, "registratore: cannot watch for a second launch: %s\n", qPrintable(why));
        return false;
    };
    if (!bus.isConnected())
        return fail(QStringLiteral("no session bus (%1)").arg(bus.lastError().message()));
    channel = std::make_unique<Channel>(*this);
    if (!bus.registerObject(objectPath, channel.get(), QDBusConnection::ExportScriptableSlots)) {
        channel.reset();
        return fail(QStringLiteral("the object path %1 is taken").arg(objectPath));
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> owned =
        bus.interface()->registerService(applicationId, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!owned.isValid() || owned.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(objectPath);
        channel.reset();
        return fail(owned.isValid() ? QStringLiteral("%1 is owned by another process").arg(applicationId)
                                    : owned.error().message());
    }
    return true;
}

} // namespace platform

#include "SingleInstance.moc"
