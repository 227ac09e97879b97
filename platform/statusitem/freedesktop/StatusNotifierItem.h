#pragma once

#include "platform/OncePerTurn.h"
#include "platform/StatusItem.h"
#include "platform/statusitem/freedesktop/DBusMenuExporter.h"

#include <QDBusServiceWatcher>
#include <QString>

#include <optional>

namespace platform {

class StatusNotifierItemAdaptor;

// The status item as a StatusNotifierItem of our own on the session bus, for the status bars
// that host such items (KDE, Xfce, GNOME's AppIndicator extension, on X11 and Wayland).
// Unlike Qt's, it sets the item's Status: NeedsAttention while the microphone is live, which
// hosts use to keep the item in view. Its menu is exported for the status bars that open it on a
// left click (GNOME's AppIndicator extension, where a double click activates); the item is not
// a menu (ItemIsMenu), so the others keep activating it on a left click and show the menu on a
// right click.
// The icon goes both as pixmaps and by name (IconName), for the status bars that draw themed
// icons in the panel's colours; run from a build folder, the item hands them the build's copy
// of the icons as IconThemePath.
class StatusNotifierItem : public StatusItem {
    Q_OBJECT
public:
    StatusNotifierItem();
    ~StatusNotifierItem() override;
    StatusNotifierItem(const StatusNotifierItem &) = delete;
    StatusNotifierItem &operator=(const StatusNotifierItem &) = delete;

    // Whether a StatusNotifierItem host (a status bar that shows these items) is on the session
    // bus right now.
    static bool hostShowing();

    bool hasButton() const override { return true; }
    void setImage(const QIcon &image, const QString &themeName) override;
    void setToolTip(const QString &text) override;
    void setNeedsAttention(bool needed) override;
    void setMenu(QMenu *menu) override { menu_.setMenu(menu); }
    Anchor takeAnchor() override;
    // Through the desktop's notification service.
    void showMessage(const QString &title, const QString &text) override;

    // What the item publishes (read by the adaptor).
    const QIcon &image() const { return image_; }
    const QString &iconName() const { return iconName_; }
    // The folder of icon themes the status bar looks the icon's name up in before the
    // desktop's: <the binary's folder>/share/icons where that holds the icon (a build folder),
    // empty otherwise (an installed recorder, whose icons are in the desktop's hicolor theme).
    const QString &iconThemePath() const { return iconThemePath_; }
    const QString &toolTip() const { return toolTip_; }
    QString status() const;

    // A click on the item in the status bar, at `point` on the screen (a null point: unknown);
    // the clicks of one turn of the event loop are one.
    void activate(QPoint point);
    const QString &menuPath() const { return menu_.path(); }

private:
    void registerWithWatcher();

    StatusNotifierItemAdaptor *adaptor_ = nullptr;
    QDBusServiceWatcher watcher_;
    DBusMenuExporter menu_;
    OncePerTurn activating_;
    QIcon image_;
    QString iconName_;
    QString iconThemePath_;
    QString toolTip_;
    bool needsAttention_ = false;
    std::optional<QPoint> clickPointer_;
};

} // namespace platform
