#pragma once

#include "platform/OncePerTurn.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QVariantMap>

class QAction;
class QMenu;

namespace platform {

class DBusMenuAdaptor;

// Publishes a QMenu on the session bus as com.canonical.dbusmenu, the menu a status bar shows
// for a StatusNotifierItem (GNOME's AppIndicator extension, KDE, Xfce). The status bar draws
// the entries itself: a chosen entry triggers its QAction, after the call has been answered,
// and the menu's aboutToShow() is emitted when the status bar is about to show it. Changes to
// the actions reach the status bar as they happen. Entries, separators and submenus (an action
// with a menu of its own), a few levels deep. Any client of the session bus may call it: every call does a
// bounded amount of work, and a burst of calls refreshes the menu and runs each entry at most once per turn
// of the event loop.
class DBusMenuExporter : public QObject {
    Q_OBJECT
public:
    explicit DBusMenuExporter(QString path, QObject *parent = nullptr);
    ~DBusMenuExporter() override;
    DBusMenuExporter(const DBusMenuExporter &) = delete;
    DBusMenuExporter &operator=(const DBusMenuExporter &) = delete;

    const QString &path() const { return path_; }
    // The menu shown from now on (not owned; null for none).
    void setMenu(QMenu *menu);

    // What the status bar reads (through the adaptor). Id 0 is the menu itself.
    uint revision() const { return revision_; }
    // The entries of the menu (0) or of a submenu's entry, in order.
    QList<int> entryIds(int parentId = 0) const;
    bool hasEntry(int id) const { return id == 0 || actionOf(id); }
    QVariantMap propertiesOf(int id) const;
    void clicked(int id);
    void aboutToShow(int id = 0);

    // How deep submenus are published.
    static constexpr int deepest = 4;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *actionOf(int id) const;
    QMenu *menuOf(int id) const;
    void watch(QMenu *menu, int depth);
    void layoutChanged();

    const QString path_;
    DBusMenuAdaptor *adaptor_ = nullptr;
    QPointer<QMenu> menu_;
    // The menu and its submenus, whose changes are followed.
    QList<QPointer<QMenu>> watched_;
    QHash<QAction *, int> ids_;
    // Entries clicked whose actions have not run yet.
    QSet<int> pendingClicks_;
    OncePerTurn showing_;
    int nextId_ = 1;
    uint revision_ = 1;
};

} // namespace platform
