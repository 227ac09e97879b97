#pragma once

#include "platform/StatusItem.h"

#include <QSystemTrayIcon>

namespace platform {

// The status item as a QSystemTrayIcon: an XEmbed tray on Linux (StatusNotifierItem hosts get
// statusitem/freedesktop/StatusNotifierItem instead), the status bar on macOS, the notification
// area on Windows. It has no context menu: on some hosts a context menu turns a left click into opening
// that menu.
class TrayStatusItem : public StatusItem {
    Q_OBJECT
public:
    TrayStatusItem();
    bool hasButton() const override;
    void setImage(const QIcon &image, const QString &themeName) override;
    void setToolTip(const QString &text) override;
    bool asksForToolTip() const override;
    Anchor takeAnchor() override;
    void showMessage(const QString &title, const QString &text) override;
    QRect geometry() const override { return tray.geometry(); }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QSystemTrayIcon tray;
    std::optional<QPoint> clickPointer;
};

} // namespace platform
