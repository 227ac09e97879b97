#include "platform/notifications/freedesktop/FreedesktopNotifications.h"

#include "platform/Log.h"
#include "platform/StatusItem.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>

namespace platform {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString showInFolderKey = QStringLiteral("show-in-folder");
const QString playKey = QStringLiteral("play");
// Notices whose buttons still work: a notification centre keeps a few on screen.
constexpr int remembered = 8;

QDBusMessage call(const QString &method)
{
    return QDBusMessage::createMethodCall(service, path, service, method);
}

} // namespace

FreedesktopNotifications::FreedesktopNotifications(StatusItem &fallback) : fallback(fallback)
{
    // Signals only from the service's owner: another client cannot press the buttons.
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(service, path, service, QStringLiteral("ActionInvoked"), this,
                SLOT(actionInvoked(uint, QString)));
    bus.connect(service, path, service, QStringLiteral("NotificationClosed"), this,
                SLOT(notificationClosed(uint, uint)));
}

void FreedesktopNotifications::show(const Notice &notice)
{
    if (capabilities) {
        send(notice);
        return;
    }
    waiting = notice;
    askCapabilities();
}

void FreedesktopNotifications::askCapabilities()
{
    if (askingCapabilities)
        return;
    askingCapabilities = true;
    auto *watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call(QStringLiteral("GetCapabilities"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *watcher) {
        watcher->deleteLater();
        askingCapabilities = false;
        const QDBusPendingReply<QStringList> reply = *watcher;
        // Asked again next time when no service answered: one may start later.
        if (!reply.isError())
            capabilities = reply.value();
        if (const std::optional<Notice> notice = std::exchange(waiting, std::nullopt))
            send(*notice);
    });
}

void FreedesktopNotifications::send(const Notice &notice)
{
    const QStringList caps = capabilities.value_or(QStringList());
    QStringList actions;
    if (!notice.file.isEmpty() && caps.contains(QLatin1String("actions")))
        actions = {showInFolderKey, tr("Show in Folder"), playKey, tr("Play")};
    // Servers that read the body as markup would take a name like "<b>.caf" for a tag.
    const QString body =
        caps.contains(QLatin1String("body-markup")) ? notice.body.toHtmlEscaped() : notice.body;
    const QVariantMap hints{
        // Groups the notices under the application, whose own settings can silence them.
        {QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName()},
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(1))},
    };
    QDBusMessage notify = call(QStringLiteral("Notify"));
    notify << QGuiApplication::applicationDisplayName() << shownId
           << (notice.warning ? QStringLiteral("dialog-warning") : QGuiApplication::desktopFileName())
           << notice.title << body << actions << hints << -1;
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, notice, withButtons = !actions.isEmpty()](QDBusPendingCallWatcher *watcher) {
                watcher->deleteLater();
                const QDBusPendingReply<uint> reply = *watcher;
                if (reply.isError()) {
                    Log::diagnostic(QStringLiteral("no desktop notification (%1): shown by the status icon")
                                        .arg(reply.error().message()));
                    capabilities.reset();
                    fallback.showMessage(notice.title, notice.body);
                    return;
                }
                shownId = reply.value();
                files.remove(shownId);
                if (withButtons) {
                    if (files.size() >= remembered)
                        files.erase(files.begin());
                    files.insert(shownId, notice.file);
                }
            });
}

void FreedesktopNotifications::actionInvoked(uint id, const QString &action)
{
    const QString file = files.value(id);
    if (file.isEmpty())
        return;
    if (action == showInFolderKey)
        emit showInFolderChosen(file);
    else if (action == playKey)
        emit playChosen(file);
}

void FreedesktopNotifications::notificationClosed(uint id, uint)
{
    if (id == shownId)
        shownId = 0;
}

} // namespace platform
