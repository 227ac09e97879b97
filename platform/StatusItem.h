#pragma once

#include "platform/PopoverPlacement.h"

#include <QIcon>
#include <QObject>

class QMenu;

namespace platform {

// The application's icon in the desktop's status bar.
class StatusItem : public QObject {
    Q_OBJECT
public:
    ~StatusItem() override = default;
    // False when the status bar gives the item no button (no tray host).
    virtual bool hasButton() const = 0;
    // The icon: `image` for the status bars that take pictures, `themeName` (an icon of the
    // desktop's icon theme, empty for none) for those that look it up by name, which draw it in
    // the panel's own colours.
    virtual void setImage(const QIcon &image, const QString &themeName) = 0;
    // The text shown when the pointer rests on the icon.
    virtual void setToolTip(const QString &text) = 0;
    // Whether the status bar asks for the tooltip each time the pointer comes to rest on the
    // icon (toolTipWanted() comes just before it shows): a changing text need not be kept
    // current then. Otherwise the status bar shows the last text set.
    virtual bool asksForToolTip() const { return false; }
    // Whether the item asks for the user's attention (the microphone is live). Status bars
    // that have no such state ignore it.
    virtual void setNeedsAttention(bool) {}
    // The menu of the icon, where the status bar shows one of the application's (not owned).
    // Status bars that open the menu on a left click show it in place of opening the popover.
    virtual void setMenu(QMenu *) {}
    // The anchor for the popover now; a click's pointer position is used once.
    virtual Anchor takeAnchor() = 0;
    // Where the icon is on the screen, where the status bar tells (empty otherwise).
    virtual QRect geometry() const { return {}; }
    // Shows a short message to the user from the status icon.
    virtual void showMessage(const QString &title, const QString &text) = 0;

signals:
    // The user clicked the icon.
    void activated(QObject *sender);
    // The tooltip is about to show; setToolTip() now changes what it reads.
    void toolTipWanted();
};

// A panel that opens anchored to the status icon and closes on request.
class Popover {
public:
    virtual ~Popover() = default;
    virtual bool isShown() const = 0;
    // Takes ownership of the content.
    virtual void setContent(QWidget *content) = 0;
    virtual QWidget *content() const = 0;
    virtual void showRelativeTo(const Anchor &anchor) = 0;
    virtual void performClose(QObject *sender) = 0;
};

} // namespace platform
