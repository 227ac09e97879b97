#include "platform/statusitem/TrayStatusItem.h"

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

// Qt's tray icon draws the picture, which reads on light and dark status bars alike.
void TrayStatusItem::setImage(const QIcon &image, const QString &)
{
    tray.setIcon(image);
    tray.show();
}

void TrayStatusItem::setToolTip(const QString &text)
{
    tray.setToolTip(text);
}

// On an XEmbed tray Qt draws the icon in a window of its own, which hands each tooltip request
// to the QSystemTrayIcon before showing the tooltip. Where Qt publishes a StatusNotifierItem,
// and in the status bars of macOS and Windows, the text last published shows instead.
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
