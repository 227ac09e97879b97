#include "platform/qt/PopoverWindow.h"

#include "platform/PopoverPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace platform {

PopoverWindow::PopoverWindow(bool standalone)
    : QWidget(nullptr,
              standalone ? Qt::Window : Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Recorder"));
    setAccessibleName(QStringLiteral("Recorder"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void PopoverWindow::setContent(QWidget *content)
{
    delete contentWidget;
    contentWidget = content;
    if (content)
        layout()->addWidget(content);
    adjustSize();
}

void PopoverWindow::showRelativeTo(const Anchor &anchor)
{
    adjustSize();
    const QPoint probe = !anchor.iconGeometry.isEmpty() ? anchor.iconGeometry.center()
                         : anchor.pointer               ? *anchor.pointer
                                                        : QPoint();
    QScreen *screen = QGuiApplication::screenAt(probe);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    move(popoverPosition(anchor, size(), available));
    show();
    raise();
    activateWindow();
}

void PopoverWindow::performClose(QObject *)
{
    hide();
}

} // namespace platform
