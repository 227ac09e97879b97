#include "platform/dbus/StatusNotifierItem.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>

#include <cstdio>

#include <unistd.h>

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
    Q_PROPERTY(QString IconThemePath READ none)
    Q_PROPERTY(QString IconName READ none)
    Q_PROPERTY(QList<platform::sni::IconPixmap> IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ none)
    Q_PROPERTY(QList<platform::sni::IconPixmap> OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ none)
    Q_PROPERTY(QList<platform::sni::IconPixmap> AttentionIconPixmap READ iconPixmap)
    Q_PROPERTY(QString AttentionMovieName READ none)
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
    QList<sni::IconPixmap> iconPixmap() const { return pixmaps_; }
    QList<sni::IconPixmap> noPixmaps() const { return {}; }
    sni::ToolTip toolTip() const { return {{}, {}, item_.toolTip(), {}}; }
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(QStringLiteral("/NO_DBUSMENU")); }

    void imageChanged()
    {
        pixmaps_ = sni::pixmapsOf(item_.image());
        emit NewIcon();
        emit NewAttentionIcon();
    }

public slots:
    void Activate(int, int) { item_.activate(); }
    // Middle and right clicks do nothing: there is no second action and no menu.
    void SecondaryActivate(int, int) {}
    void ContextMenu(int, int) {}
    void Scroll(int, const QString &) {}

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
    : service_(QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(::getpid())),
      watcher_(watcherService, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForRegistration)
{
    qDBusRegisterMetaType<sni::IconPixmap>();
    qDBusRegisterMetaType<QList<sni::IconPixmap>>();
    qDBusRegisterMetaType<sni::ToolTip>();
    adaptor_ = new StatusNotifierItemAdaptor(this);
    toolTip_ = QGuiApplication::applicationDisplayName();

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(itemPath, this, QDBusConnection::ExportAdaptors) ||
        !bus.registerService(service_))
        std::fprintf(stderr, "registratore: the status icon cannot be published on the session bus: %s\n",
                     qPrintable(bus.lastError().message()));
    // A status bar that restarts brings a new watcher: the item registers again.
    connect(&watcher_, &QDBusServiceWatcher::serviceRegistered, this,
            &StatusNotifierItem::registerWithWatcher);
    registerWithWatcher();
}

StatusNotifierItem::~StatusNotifierItem()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(itemPath);
    bus.unregisterService(service_);
}

void StatusNotifierItem::registerWithWatcher()
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(watcherService, QStringLiteral("/StatusNotifierWatcher"),
                                       watcherService, QStringLiteral("RegisterStatusNotifierItem"));
    call << service_;
    // Not waited for: a status bar that answers slowly must not hold the app up.
    QDBusConnection::sessionBus().send(call);
}

void StatusNotifierItem::setImage(const QIcon &image)
{
    image_ = image;
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

void StatusNotifierItem::activate()
{
    // Where the click was, as the pointer tells it: hosts differ in what Activate's
    // coordinates mean.
    clickPointer_ = QCursor::pos();
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
    notify << QGuiApplication::applicationDisplayName() << 0u << QStringLiteral("dialog-warning") << title
           << text << QStringList() << QVariantMap() << -1;
    QDBusConnection::sessionBus().send(notify);
}

} // namespace platform

#include "StatusNotifierItem.moc"
