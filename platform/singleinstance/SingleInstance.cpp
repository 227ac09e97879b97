#include "platform/SingleInstance.h"

#include "platform/Log.h"

#ifdef REGISTRATORE_PORTABLE
#include "platform/singleinstance/qt/LocalSocketChannel.h"
namespace platform {
using InstanceChannel = LocalSocketChannel; // a local socket named after the application
}
#else
#include "platform/singleinstance/dbus/DBusInstanceChannel.h"
namespace platform {
using InstanceChannel = DBusInstanceChannel; // the application's name on the session bus
}
#endif

namespace platform {

class SingleInstance::Channel : public InstanceChannel {
public:
    using InstanceChannel::InstanceChannel;
};

SingleInstance::SingleInstance(const QString &applicationId)
    : channel(std::make_unique<Channel>(*this, applicationId))
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOverToRunning()
{
    return channel->handOverToRunning();
}

bool SingleInstance::listen(QString *error)
{
    QString why;
    if (channel->listen(&why))
        return true;
    Log::diagnostic(QStringLiteral("cannot watch for a second launch: ") + why);
    if (error)
        *error = why;
    return false;
}

SingleInstance::Answer SingleInstance::sendCommand(const QString &action)
{
    return channel->sendCommand(action);
}

SingleInstance::Answer SingleInstance::answer(const QString &action) const
{
    if (!commandHandler)
        return {Answer::Outcome::Starting, QStringLiteral("the recorder is starting")};
    return commandHandler(action);
}

} // namespace platform
