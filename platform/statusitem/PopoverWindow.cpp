#include "platform/statusitem/PopoverWindow.h"

#include "platform/PopoverPlacement.h"
#include "platform/StatusBar.h"

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
    //: The recorder panel's window.
    setWindowTitle(tr("Recorder"));
    setAccessibleName(tr("Recorder"));
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
    if (anchor.iconGeometry.isEmpty() && !standalone) {
        anchor.statusBar = statusBarAt(anchor.pointer ? *anchor.pointer : available().topRight());
        // A bar of another windowing system (Wayland's, seen from Xwayland) shows only in
        // the work area it leaves out.
        if (anchor.statusBar.isEmpty() && !anchor.pointer && anchorScreen())
            anchor.statusBar = reservedEdge(anchorScreen()->geometry(), available());
    }
    place();
    if (!standalone) {
        create();
        keepOutOfTaskbar(windowHandle());
    }
    show();
    raise();
    activateWindow();
}

QScreen *PopoverWindow::anchorScreen() const
{
    const QPoint probe = !anchor.iconGeometry.isEmpty() ? anchor.iconGeometry.center()
                         : anchor.pointer               ? *anchor.pointer
                                                        : QPoint();
    QScreen *screen = QGuiApplication::screenAt(probe);
    return screen ? screen : QGuiApplication::primaryScreen();
}

QRect PopoverWindow::available() const
{
    QScreen *screen = anchorScreen();
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
