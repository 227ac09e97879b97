#include "ui/SettingsPopover.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

SettingsPopover::SettingsPopover() : QWidget(nullptr, Qt::Popup)
{
    setAccessibleName(tr("Settings menu"));
    setWindowTitle(tr("Settings"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void SettingsPopover::showMenu(QWidget *menu, QWidget *anchor)
{
    delete contentWidget.data();
    contentWidget = menu;
    if (menu) {
        layout()->addWidget(menu);
        // The popup hands its focus widget the keyboard as it opens, so its first row is
        // announced at once.
        menu->setFocus(Qt::PopupFocusReason);
    }
    opener = anchor;
    adjustSize();

    const QRect button(anchor->mapToGlobal(QPoint(0, 0)), anchor->size());
    QPoint position(button.center().x() - width() / 2, button.bottom() + 1);
    if (const QScreen *screen = anchor->screen()) {
        const QRect available = screen->availableGeometry();
        if (position.y() + height() > available.bottom() + 1)
            position.setY(button.top() - height());
        position.setX(std::max(available.left(), std::min(position.x(), available.right() + 1 - width())));
        position.setY(std::max(available.top(), position.y()));
    }
    move(position);
    show();
}

void SettingsPopover::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // While open, the popup took every pointer event: the button it opened from never heard
    // the pointer leave, and would keep its hover look.
    if (opener) {
        opener->setAttribute(Qt::WA_UnderMouse,
                             opener->rect().contains(opener->mapFromGlobal(QCursor::pos())));
        opener->update();
    }
}
