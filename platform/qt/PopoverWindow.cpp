#include "platform/qt/PopoverWindow.h"

#include "platform/PopoverPlacement.h"
#include "platform/StatusBarGeometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace platform {

PopoverWindow::PopoverWindow(bool standalone)
    : QWidget(nullptr,
              standalone ? Qt::Window : Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      standalone(standalone)
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
    if (content) {
        layout()->addWidget(content);
        content->installEventFilter(this);
    }
    adjustSize();
}

void PopoverWindow::showRelativeTo(const Anchor &shownFor)
{
    anchor = shownFor;
    adjustSize();
    if (anchor.iconGeometry.isEmpty() && !standalone)
        anchor.statusBar = statusBarAt(anchor.pointer ? *anchor.pointer : available().topRight());
    place();
    show();
    raise();
    activateWindow();
}

QRect PopoverWindow::available() const
{
    const QPoint probe = !anchor.iconGeometry.isEmpty() ? anchor.iconGeometry.center()
                         : anchor.pointer               ? *anchor.pointer
                                                        : QPoint();
    QScreen *screen = QGuiApplication::screenAt(probe);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void PopoverWindow::place()
{
    move(popoverPosition(anchor, size(), available()));
}

bool PopoverWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The content's layout changed (a message shown or cleared): fit it once that is settled.
    if (watched == contentWidget && event->type() == QEvent::LayoutRequest && !fitPending) {
        fitPending = true;
        QMetaObject::invokeMethod(this, &PopoverWindow::fitContent, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void PopoverWindow::fitContent()
{
    fitPending = false;
    const QSize before = size();
    adjustSize();
    // An ordinary window stays where the user (or the window manager) put it.
    if (isVisible() && size() != before && !standalone)
        place();
}

void PopoverWindow::performClose(QObject *)
{
    hide();
}

} // namespace platform
