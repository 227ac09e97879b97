#include "platform/qt/TrayStatusItem.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

#include <algorithm>

namespace platform {

TrayStatusItem::TrayStatusItem()
{
    tray.setToolTip(QStringLiteral("Registratore"));
    tray.installEventFilter(this);
    connect(&tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger)
            return;
        // StatusNotifierItem hosts and Wayland do not tell where the icon is: remember the click.
        clickPointer = QCursor::pos();
        emit activated(this);
        clickPointer.reset();
    });
}

bool TrayStatusItem::hasButton() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayStatusItem::setImage(const QIcon &image)
{
    tray.setIcon(image);
    tray.show();
}

// On StatusNotifierItem hosts Qt publishes both as the item's IconPixmap and ToolTip. Its
// Status stays Active: QSystemTrayIcon offers no way to set NeedsAttention (only a message
// does, for as long as the message shows), so the image is what tells a recording apart.
void TrayStatusItem::setToolTip(const QString &text)
{
    tray.setToolTip(text);
}

// On an XEmbed tray Qt draws the icon in a window of its own, which hands each tooltip request
// to the QSystemTrayIcon before showing the tooltip. Hosts of a StatusNotifierItem, and the
// status bars of macOS and Windows, show the text last published instead.
bool TrayStatusItem::asksForToolTip() const
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget *window) {
        return window->objectName() == QLatin1String("QSystemTrayIconSys");
    });
}

bool TrayStatusItem::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &tray && event->type() == QEvent::ToolTip)
        emit toolTipWanted();
    return false;
}

Anchor TrayStatusItem::takeAnchor()
{
    Anchor anchor{tray.geometry(), clickPointer};
    clickPointer.reset();
    return anchor;
}

void TrayStatusItem::showMessage(const QString &title, const QString &text)
{
    tray.showMessage(title, text, QSystemTrayIcon::Warning);
}

} // namespace platform
