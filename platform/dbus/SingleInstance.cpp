#include "platform/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <cstdio>

namespace platform {

namespace {
constexpr int answerMilliseconds = 1000;
const QString objectPath = QStringLiteral("/org/registratore/Instance");
const QString interfaceName = QStringLiteral("org.registratore.Instance");
} // namespace

// The running recorder owns the application id as a name on the session bus and answers Reopen
// there. The bus gives a name to one connection at a time and takes it back when the process
// ends, however it ends, so two launches at once cannot both run and a killed recorder leaves
// nothing behind.
class SingleInstance::Channel : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.registratore.Instance")
public:
    explicit Channel(SingleInstance &owner) : owner(owner) {}

public slots:
    Q_SCRIPTABLE void Reopen() { emit owner.reopenRequested(); }

private:
    SingleInstance &owner;
};

SingleInstance::SingleInstance(const QString &id) : applicationId(id) {}

SingleInstance::~SingleInstance()
{
    if (!channel)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.interface()->unregisterService(applicationId);
    bus.unregisterObject(objectPath);
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

bool SingleInstance::listen()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
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
