#include "platform/SingleInstance.h"

#include "platform/Log.h"

#include <QDir>
#include <QFileInfo>

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

bool SingleInstance::handOverFile(const QString &path)
{
    return channel->handOverFile(path);
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

void SingleInstance::receiveFiles(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    if (paths.size() > 1)
        Log::diagnostic(QStringLiteral("a later launch asked to open %1 files: only the first is opened")
                            .arg(paths.size()));
    const QString &path = paths.first();
    QString why;
    if (!acceptsFile(path, &why)) {
        Log::diagnostic(QStringLiteral("a later launch asked to open %1, which is not opened: %2")
                            .arg(path.left(256), why));
        return;
    }
    emit openRequested(path);
}

bool SingleInstance::acceptsFile(const QString &path, QString *why)
{
    const auto refuse = [why](const QString &reason) {
        *why = reason;
        return false;
    };
    if (path.toUtf8().size() > longestPath)
        return refuse(QStringLiteral("the path is longer than %1 bytes").arg(longestPath));
    if (path.contains(QChar::Null))
        return refuse(QStringLiteral("the path holds a NUL character"));
    if (!QDir::isAbsolutePath(path) || QDir::cleanPath(path) != path)
        return refuse(QStringLiteral("it is not an absolute path without . and .."));
    // Asked of the file itself: a link is not followed, and nothing is opened, so that a FIFO
    // or a device cannot hold the recorder up or be read.
    const QFileInfo file(path);
    if (file.isSymLink())
        return refuse(QStringLiteral("it is a symbolic link"));
    if (!file.exists())
        return refuse(QStringLiteral("there is no such file"));
    if (!file.isFile())
        return refuse(QStringLiteral("it is not a regular file"));
    return true;
}

} // namespace platform
