#include "platform/statusitem/freedesktop/StatusNotifierItem.h"

#include "platform/Log.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>

#include <algorithm>

namespace platform::sni {

// An image as the protocol carries it: ARGB32 pixels in network byte order.
struct IconPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};

struct ToolTip {
    QString iconName;
    QList<IconPixmap> pixmaps;
    QString title;
    QString text;
};

QDBusArgument &operator<<(QDBusArgument &argument, const IconPixmap &pixmap)
{
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.argb;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, IconPixmap &pixmap)
{
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.argb;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const ToolTip &tip)
{
    argument.beginStructure();
    argument << tip.iconName << tip.pixmaps << tip.title << tip.text;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, ToolTip &tip)
{
    argument.beginStructure();
    argument >> tip.iconName >> tip.pixmaps >> tip.title >> tip.text;
    argument.endStructure();
    return argument;
}

// The sizes status bars draw at; each picks the nearest.
QList<IconPixmap> pixmapsOf(const QIcon &icon)
{
    QList<IconPixmap> pixmaps;
    if (icon.isNull())
        return pixmaps;
    for (const int side : {16, 22, 24, 32, 48}) {
        const QImage image =
            icon.pixmap(QSize(side, side), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        IconPixmap pixmap{image.width(), image.height(), {}};
        pixmap.argb.reserve(image.width() * image.height() * 4);
        for (int y = 0; y < image.height(); ++y) {
            const auto *line = reinterpret_cast<const quint32 *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const quint32 pixel = qToBigEndian(line[x]);
                pixmap.argb.append(reinterpret_cast<const char *>(&pixel), sizeof pixel);
            }
        }
        pixmaps.append(pixmap);
    }
    return pixmaps;
}

} // namespace platform::sni

Q_DECLARE_METATYPE(platform::sni::IconPixmap)
Q_DECLARE_METATYPE(platform::sni::ToolTip)

namespace platform {

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString menuObjectPath = QStringLiteral("/MenuBar");

} // namespace

// The org.kde.StatusNotifierItem interface of the item's object.
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ iconThemePath)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(QList<platform::sni::IconPixmap> IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ none)
    Q_PROPERTY(QList<platform::sni::IconPixmap> OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ iconName)
    Q_PROPERTY(QList<platform::sni::IconPixmap> AttentionIconPixmap READ iconPixmap)
    Q_PROPERTY(QString AttentionMovieName READ none)
    Q_PROPERTY(QString IconAccessibleDesc READ accessibleDescription)
    Q_PROPERTY(QString AttentionAccessibleDesc READ accessibleDescription)
    Q_PROPERTY(platform::sni::ToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem *item) : QDBusAbstractAdaptor(item), item_(*item) {}

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QCoreApplication::applicationName(); }
    QString title() const { return QGuiApplication::applicationDisplayName(); }
    QString status() const { return item_.status(); }
    int windowId() const { return 0; }
    QString none() const { return {}; }
    QString iconThemePath() const { return item_.iconThemePath(); }
    // The item asks for attention only while it records, with the icon it records with: the
    // attention icon is the icon.
    QString iconName() const { return item_.iconName(); }
    QList<sni::IconPixmap> iconPixmap() const { return pixmaps_; }
    QList<sni::IconPixmap> noPixmaps() const { return {}; }
    sni::ToolTip toolTip() const { return {{}, {}, item_.toolTip(), {}}; }
    // What screen readers say for the icon: what its tooltip says.
    QString accessibleDescription() const { return item_.toolTip(); }
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(item_.menuPath()); }

    void imageChanged()
    {
        pixmaps_ = sni::pixmapsOf(item_.image());
        emit NewIcon();
        emit NewAttentionIcon();
    }

public slots:
    void Activate(int x, int y) { item_.activate(onScreenRange(QPoint(x, y))); }
    // A middle click does nothing: there is no second action. Status bars show the exported
    // menu on a right click themselves; one that asks the item to show it gets nothing.
    void SecondaryActivate(int, int) {}
    void ContextMenu(int, int) {}
    void Scroll(int, const QString &) {}
    // Plasma 6 and GNOME's AppIndicator extension hand over a token before they activate the
    // item: with it a Wayland compositor lets the window that opens take the keyboard. Qt's
    // Wayland windows use the one in XDG_ACTIVATION_TOKEN at their next activation. A token is
    // short and printable; anything else from the bus is ignored.
    void ProvideXdgActivationToken(const QString &token)
    {
        const bool plausible = !token.isEmpty() && token.size() <= 256 &&
                               std::all_of(token.cbegin(), token.cend(),
                                           [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7f; });
        if (plausible)
            qputenv("XDG_ACTIVATION_TOKEN", token.toLatin1());
    }

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString &status);

private:
    StatusNotifierItem &item_;
    QList<sni::IconPixmap> pixmaps_;
};

StatusNotifierItem::StatusNotifierItem()
    : watcher_(watcherService, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForRegistration),
      menu_(menuObjectPath), activating_(this)
{
    qDBusRegisterMetaType<sni::IconPixmap>();
    qDBusRegisterMetaType<QList<sni::IconPixmap>>();
    qDBusRegisterMetaType<sni::ToolTip>();
    adaptor_ = new StatusNotifierItemAdaptor(this);
    toolTip_ = QGuiApplication::applicationDisplayName();
    const QString buildIcons = QCoreApplication::applicationDirPath() + QStringLiteral("/share/icons");
    if (QFileInfo::exists(buildIcons + QStringLiteral("/hicolor/symbolic/apps")))
        iconThemePath_ = buildIcons;

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(itemPath, this, QDBusConnection::ExportAdaptors))
        Log::diagnostic(QStringLiteral("the status icon cannot be published on the session bus: ") +
                        bus.lastError().message());
    // A status bar that restarts brings a new watcher: the item registers again.
    connect(&watcher_, &QDBusServiceWatcher::serviceRegistered, this,
            &StatusNotifierItem::registerWithWatcher);
    registerWithWatcher();
}

StatusNotifierItem::~StatusNotifierItem()
{
    QDBusConnection::sessionBus().unregisterObject(itemPath);
}

bool StatusNotifierItem::hostShowing()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(watcherService))
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusReply<QDBusVariant> reply = bus.call(get, QDBus::Block, 1000);
    return reply.isValid() && reply.value().variant().toBool();
}

void StatusNotifierItem::registerWithWatcher()
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(watcherService, QStringLiteral("/StatusNotifierWatcher"),
                                       watcherService, QStringLiteral("RegisterStatusNotifierItem"));
    // Under the connection's own name, which goes away only with the process: a status bar
    // that watches a second name of ours (GNOME's AppIndicator extension) sees the item leave
    // twice and fails on the second.
    call << QDBusConnection::sessionBus().baseService();
    // Not waited for: a status bar that answers slowly must not hold the app up.
    QDBusConnection::sessionBus().send(call);
}

void StatusNotifierItem::setImage(const QIcon &image, const QString &themeName)
{
    image_ = image;
    iconName_ = themeName;
    adaptor_->imageChanged();
}

void StatusNotifierItem::setToolTip(const QString &text)
{
    if (text == toolTip_)
        return;
    toolTip_ = text;
    emit adaptor_->NewToolTip();
}

void StatusNotifierItem::setNeedsAttention(bool needed)
{
    if (needed == needsAttention_)
        return;
    needsAttention_ = needed;
    emit adaptor_->NewStatus(status());
}

QString StatusNotifierItem::status() const
{
    return needsAttention_ ? QStringLiteral("NeedsAttention") : QStringLiteral("Active");
}

void StatusNotifierItem::activate(QPoint point)
{
    // Status bars pass the click's place on the screen; under Xwayland the pointer's last
    // known place is stale as soon as it leaves our windows. A status bar that passes nothing
    // leaves the pointer. A burst of calls is one click: each would open or close the popover.
    if (!activating_.take())
        return;
    clickPointer_ = point.isNull() ? QCursor::pos() : point;
    emit activated(this);
    clickPointer_.reset();
}

Anchor StatusNotifierItem::takeAnchor()
{
    Anchor anchor{QRect(), clickPointer_};
    clickPointer_.reset();
    return anchor;
}

void StatusNotifierItem::showMessage(const QString &title, const QString &text)
{
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // Most notification servers read the body as markup; the text is shown as it is.
    notify << QGuiApplication::applicationDisplayName() << 0u << QStringLiteral("dialog-warning") << title
           << text.toHtmlEscaped() << QStringList() << QVariantMap() << -1;
    QDBusConnection::sessionBus().send(notify);
}

} // namespace platform

#include "StatusNotifierItem.moc"
