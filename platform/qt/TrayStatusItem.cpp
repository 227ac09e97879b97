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
