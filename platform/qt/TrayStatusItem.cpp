#include "platform/qt/TrayStatusItem.h"

#include <QCursor>

namespace platform {

TrayStatusItem::TrayStatusItem()
{
    tray.setToolTip(QStringLiteral("Registratore"));
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
