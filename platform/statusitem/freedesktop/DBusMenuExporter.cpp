#include "platform/statusitem/freedesktop/DBusMenuExporter.h"

#include "platform/Log.h"

#include <QAction>
#include <QActionEvent>
#include <QActionGroup>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QMenu>
#include <QSet>
#include <QTimer>

#include <algorithm>

namespace platform::dbusmenu {

// An entry and its entries, as GetLayout returns them: (ia{sv}av), each child in a variant.
struct Layout {
    int id = 0;
    QVariantMap properties;
    QList<Layout> children;
};

struct EntryProperties {
    int id = 0;
    QVariantMap properties;
};

struct RemovedProperties {
    int id = 0;
    QStringList names;
};

struct Event {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};

QDBusArgument &operator<<(QDBusArgument &argument, const Layout &layout)
{
    argument.beginStructure();
    argument << layout.id << layout.properties;
    argument.beginArray(qMetaTypeId<QDBusVariant>());
    for (const Layout &child : layout.children)
        argument << QDBusVariant(QVariant::fromValue(child));
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, Layout &layout)
{
    argument.beginStructure();
    argument >> layout.id >> layout.properties;
    argument.beginArray();
    layout.children.clear();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        layout.children.append(qdbus_cast<Layout>(child.variant()));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const EntryProperties &entry)
{
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, EntryProperties &entry)
{
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const RemovedProperties &removed)
{
    argument.beginStructure();
    argument << removed.id << removed.names;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, RemovedProperties &removed)
{
    argument.beginStructure();
    argument >> removed.id >> removed.names;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const Event &event)
{
    argument.beginStructure();
    argument << event.id << event.eventId << event.data << event.timestamp;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, Event &event)
{
    argument.beginStructure();
    argument >> event.id >> event.eventId >> event.data >> event.timestamp;
    argument.endStructure();
    return argument;
}

// Qt marks a mnemonic with '&' ("&&" is an ampersand), dbusmenu with '_' ("__" an underscore).
QString labelOf(const QString &text)
{
    QString label;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('_'))
            label += QLatin1Char('_');
        else if (text[i] == QLatin1Char('&') && i + 1 < text.size() && text[++i] != QLatin1Char('&'))
            label += QLatin1Char('_');
        label += text[i];
    }
    return label;
}

// Any client of the session bus can call the menu: what one call asks for is looked at only up
// to these many ids (or events) and property names. A status bar asks for a handful of each.
constexpr qsizetype idsLookedAt = 1000;
constexpr qsizetype namesLookedAt = 64;
// How much of a name the client sent is echoed in an error.
constexpr qsizetype echoedLength = 64;

QVariantMap only(const QVariantMap &properties, const QStringList &names)
{
    if (names.isEmpty())
        return properties;
    QVariantMap chosen;
    for (const QString &name : names.first(std::min(names.size(), namesLookedAt))) {
        if (properties.contains(name))
            chosen.insert(name, properties.value(name));
    }
    return chosen;
}

// The first of `ids` that a call looks at, each once.
QList<int> distinct(const QList<int> &ids)
{
    QList<int> unique;
    QSet<int> seen;
    for (const int id : ids.first(std::min(ids.size(), idsLookedAt))) {
        if (!seen.contains(id)) {
            seen.insert(id);
            unique.append(id);
        }
    }
    return unique;
}

} // namespace platform::dbusmenu

Q_DECLARE_METATYPE(platform::dbusmenu::Layout)
Q_DECLARE_METATYPE(platform::dbusmenu::EntryProperties)
Q_DECLARE_METATYPE(platform::dbusmenu::RemovedProperties)
Q_DECLARE_METATYPE(platform::dbusmenu::Event)

namespace platform {

using namespace dbusmenu;

// The com.canonical.dbusmenu interface of the exporter's object.
class DBusMenuAdaptor : public QDBusAbstractAdaptor, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    explicit DBusMenuAdaptor(DBusMenuExporter *exporter) : QDBusAbstractAdaptor(exporter), menu(*exporter) {}

    uint version() const { return 3; }
    QString textDirection() const
    {
        return QGuiApplication::isRightToLeft() ? QStringLiteral("rtl") : QStringLiteral("ltr");
    }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public slots:
    uint GetLayout(int parentId, int recursionDepth, const QStringList &propertyNames,
                   platform::dbusmenu::Layout &layout)
    {
        if (!known(parentId))
            return 0;
        layout = this->layout(parentId, recursionDepth < 0 ? DBusMenuExporter::deepest : recursionDepth,
                              propertyNames);
        return menu.revision();
    }

    QList<platform::dbusmenu::EntryProperties> GetGroupProperties(const QList<int> &ids,
                                                                  const QStringList &propertyNames)
    {
        // One entry per known id: the reply is never larger than the menu.
        QList<EntryProperties> entries;
        for (const int id : distinct(ids)) {
            if (menu.hasEntry(id))
                entries.append({id, only(menu.propertiesOf(id), propertyNames)});
        }
        return entries;
    }

    QDBusVariant GetProperty(int id, const QString &name)
    {
        const QVariantMap properties = known(id) ? menu.propertiesOf(id) : QVariantMap();
        if (!properties.contains(name)) {
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("no property %1 on entry %2").arg(name.left(echoedLength)).arg(id));
            return {};
        }
        return QDBusVariant(properties.value(name));
    }

    void Event(int id, const QString &eventId, const QDBusVariant &, uint)
    {
        if (known(id) && eventId == QLatin1String("clicked"))
            menu.clicked(id);
    }

    // A user clicks one entry at a time: one click of a group is acted on, so that a group
    // with two Quit clicks does not take the second for a user who insists.
    QList<int> EventGroup(const QList<platform::dbusmenu::Event> &events)
    {
        const QList<dbusmenu::Event> looked = events.first(std::min(events.size(), idsLookedAt));
        QList<int> ids;
        for (const dbusmenu::Event &event : looked)
            ids.append(event.id);
        QList<int> unknown;
        for (const int id : distinct(ids)) {
            if (!menu.hasEntry(id))
                unknown.append(id);
        }
        const auto click = std::find_if(looked.begin(), looked.end(), [this](const dbusmenu::Event &event) {
            return event.eventId == QLatin1String("clicked") && menu.hasEntry(event.id);
        });
        if (click != looked.end())
            menu.clicked(click->id);
        return unknown;
    }

    // The texts are brought up to date as the menu shows, by signals: no new layout is needed.
    bool AboutToShow(int id)
    {
        if (known(id))
            menu.aboutToShow(id);
        return false;
    }

    QList<int> AboutToShowGroup(const QList<int> &ids, QList<int> &idErrors)
    {
        for (const int id : distinct(ids)) {
            if (!menu.hasEntry(id))
                idErrors.append(id);
            else
                menu.aboutToShow(id);
        }
        return {};
    }

signals:
    void ItemsPropertiesUpdated(const QList<platform::dbusmenu::EntryProperties> &updatedProps,
                                const QList<platform::dbusmenu::RemovedProperties> &removedProps);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    // `id` and its entries down `depth` levels, submenus included.
    Layout layout(int id, int depth, const QStringList &propertyNames) const
    {
        Layout entry{id, only(menu.propertiesOf(id), propertyNames), {}};
        if (depth > 0) {
            for (const int child : menu.entryIds(id))
                entry.children.append(
                    layout(child, std::min(depth - 1, DBusMenuExporter::deepest), propertyNames));
        }
        return entry;
    }

    bool known(int id)
    {
        if (menu.hasEntry(id))
            return true;
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no menu entry %1").arg(id));
        return false;
    }

    DBusMenuExporter &menu;
};

DBusMenuExporter::DBusMenuExporter(QString path, QObject *parent)
    : QObject(parent), path_(std::move(path)), showing_(this)
{
    qDBusRegisterMetaType<Layout>();
    qDBusRegisterMetaType<EntryProperties>();
    qDBusRegisterMetaType<QList<EntryProperties>>();
    qDBusRegisterMetaType<RemovedProperties>();
    qDBusRegisterMetaType<QList<RemovedProperties>>();
    qDBusRegisterMetaType<dbusmenu::Event>();
    qDBusRegisterMetaType<QList<dbusmenu::Event>>();
    adaptor_ = new DBusMenuAdaptor(this);
    if (!QDBusConnection::sessionBus().registerObject(path_, this, QDBusConnection::ExportAdaptors))
        Log::diagnostic(QStringLiteral("the status icon's menu cannot be published on the session bus"));
}

DBusMenuExporter::~DBusMenuExporter()
{
    QDBusConnection::sessionBus().unregisterObject(path_);
}

void DBusMenuExporter::setMenu(QMenu *menu)
{
    for (const QPointer<QMenu> &watched : std::as_const(watched_)) {
        if (watched)
            watched->removeEventFilter(this);
    }
    watched_.clear();
    menu_ = menu;
    ids_.clear();
    if (menu_)
        watch(menu_, 0);
    layoutChanged();
}

// Gives ids to the entries of `menu` and of its submenus, and follows their changes.
void DBusMenuExporter::watch(QMenu *menu, int depth)
{
    if (watched_.contains(menu))
        return;
    watched_.append(menu);
    menu->installEventFilter(this);
    for (QAction *action : menu->actions()) {
        if (!ids_.contains(action))
            ids_.insert(action, nextId_++);
        if (action->menu() && depth < deepest)
            watch(action->menu(), depth + 1);
    }
}

QList<int> DBusMenuExporter::entryIds(int parentId) const
{
    QList<int> ids;
    if (QMenu *menu = menuOf(parentId)) {
        for (QAction *action : menu->actions())
            ids.append(ids_.value(action));
    }
    return ids;
}

QMenu *DBusMenuExporter::menuOf(int id) const
{
    if (id == 0)
        return menu_;
    const QAction *action = actionOf(id);
    return action ? action->menu() : nullptr;
}

// The action of `id`, while it is in the menu or in one of its submenus.
QAction *DBusMenuExporter::actionOf(int id) const
{
    QAction *action = ids_.key(id);
    if (!action || !menu_)
        return nullptr;
    for (const QPointer<QMenu> &watched : watched_) {
        if (watched && watched->actions().contains(action))
            return action;
    }
    return nullptr;
}

QVariantMap DBusMenuExporter::propertiesOf(int id) const
{
    if (id == 0)
        return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
    const QAction *action = actionOf(id);
    if (!action)
        return {};
    if (action->isSeparator())
        return {{QStringLiteral("type"), QStringLiteral("separator")},
                {QStringLiteral("visible"), action->isVisible()}};
    QVariantMap properties{{QStringLiteral("label"), labelOf(action->text())},
                           {QStringLiteral("enabled"), action->isEnabled()},
                           {QStringLiteral("visible"), action->isVisible()}};
    if (action->menu())
        properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    if (action->isCheckable()) {
        const bool radio = action->actionGroup() && action->actionGroup()->isExclusive();
        properties.insert(QStringLiteral("toggle-type"),
                          radio ? QStringLiteral("radio") : QStringLiteral("checkmark"));
        properties.insert(QStringLiteral("toggle-state"), action->isChecked() ? 1 : 0);
    }
    return properties;
}

void DBusMenuExporter::clicked(int id)
{
    // After the answer: the action may run a dialog of its own. Clicks on an entry that come
    // before it has run are one click.
    // An entry that opens a submenu does nothing of its own.
    const QAction *entry = actionOf(id);
    if (!entry || entry->menu() || pendingClicks_.contains(id))
        return;
    pendingClicks_.insert(id);
    QTimer::singleShot(0, this, [this, id] {
        pendingClicks_.remove(id);
        if (QAction *action = actionOf(id))
            action->trigger();
    });
}

void DBusMenuExporter::aboutToShow(int id)
{
    // The menu brings its entries up to date when it shows: once per turn of the event loop
    // however many times it is asked. A submenu's entries are kept up to date by the menu.
    if (id == 0 && menu_ && showing_.take())
        emit menu_->aboutToShow();
}

bool DBusMenuExporter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool actionEvent =
        type == QEvent::ActionChanged || type == QEvent::ActionAdded || type == QEvent::ActionRemoved;
    auto *menu = qobject_cast<QMenu *>(watched);
    if (actionEvent && menu && watched_.contains(menu)) {
        QAction *action = static_cast<QActionEvent *>(event)->action();
        switch (type) {
        case QEvent::ActionChanged: {
            const int id = ids_.value(action);
            emit adaptor_->ItemsPropertiesUpdated({{id, propertiesOf(id)}}, {});
            break;
        }
        case QEvent::ActionAdded:
            ids_.insert(action, nextId_++);
            if (action->menu())
                watch(action->menu(), DBusMenuExporter::deepest - 1);
            layoutChanged();
            break;
        case QEvent::ActionRemoved:
            ids_.remove(action);
            watched_.removeAll(nullptr);
            layoutChanged();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void DBusMenuExporter::layoutChanged()
{
    emit adaptor_->LayoutUpdated(++revision_, 0);
}

} // namespace platform

#include "DBusMenuExporter.moc"
