#include "platform/filemanager/freedesktop/FreedesktopFileManager.h"

#include "platform/Log.h"
#include "platform/filemanager/qt/QtFileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QUrl>

namespace platform {

namespace {
// A file manager the bus starts for the call needs a moment; one that hangs gets this long.
constexpr int answerMilliseconds = 5000;
} // namespace

void FreedesktopFileManager::showInFolder(const QString &path)
{
    // A file manager asked for a file that is gone says so in a window of its own.
    if (!QFileInfo::exists(path)) {
        QtFileManager::openContainingFolder(path);
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QtFileManager::openContainingFolder(path);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, answerMilliseconds), &pendingCalls);
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, watcher, [path](QDBusPendingCallWatcher *call) {
            call->deleteLater();
            const QDBusPendingReply<> reply = *call;
            if (!reply.isError())
                return;
            const QDBusError error = reply.error();
            if (error.type() == QDBusError::ServiceUnknown)
                Log::diagnostic(
                    QStringLiteral("no file manager on the session bus selects files "
                                   "(org.freedesktop.FileManager1); opening the folder of %1 instead")
                        .arg(path));
            else
                Log::diagnostic(
                    QStringLiteral("the file manager did not show %1 (%2); opening its folder instead")
                        .arg(path, error.message()));
            QtFileManager::openContainingFolder(path);
        });
}

} // namespace platform
