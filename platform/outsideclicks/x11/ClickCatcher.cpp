#include "platform/outsideclicks/x11/ClickCatcher.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform {

class ClickCatcher::Window : public QWidget {
public:
    explicit Window(ClickCatcher &monitor)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                               Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint),
          monitor(monitor)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setWindowTitle(QStringLiteral("Outside click"));
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
            monitor.report();
    }

private:
    ClickCatcher &monitor;
};

ClickCatcher::ClickCatcher() = default;

ClickCatcher::~ClickCatcher()
{
    qGuiApp->removeEventFilter(this);
}

void ClickCatcher::watch(bool on)
{
    if (on)
        qGuiApp->installEventFilter(this);
    else
        qGuiApp->removeEventFilter(this);
    scheduleUpdate();
}

QWidget *ClickCatcher::catcher() const
{
    return window && window->isVisible() ? window.get() : nullptr;
}

bool ClickCatcher::eventFilter(QObject *watched, QEvent *event)
{
    // One of our windows came, went, moved or changed its size: the holes follow.
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize: {
        const auto *shown = qobject_cast<QWindow *>(watched);
        if (shown && !shown->parent() && (!window || shown != window->windowHandle()))
            scheduleUpdate();
        break;
    }
    default:
        break;
    }
    return DeactivationClickMonitor::eventFilter(watched, event);
}

void ClickCatcher::scheduleUpdate()
{
    if (updatePending)
        return;
    updatePending = true;
    QMetaObject::invokeMethod(this, &ClickCatcher::update, Qt::QueuedConnection);
}

void ClickCatcher::update()
{
    updatePending = false;
    QScreen *screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->virtualGeometry() : QRect();
    QRegion outside(desktop);
    bool ours = false;
    for (const QWindow *shown : QGuiApplication::topLevelWindows()) {
        if (shown->isVisible() && shown->type() != Qt::ForeignWindow &&
            (!window || shown != window->windowHandle())) {
            outside -= shown->frameGeometry();
            ours = true;
        }
    }
    if (!isRunning() || !ours || QGuiApplication::modalWindow() || desktop.isEmpty()) {
        if (window)
            window->hide();
        return;
    }
    if (!window)
        window = std::make_unique<Window>(*this);
    window->setGeometry(desktop);
    window->setMask(outside);
    window->show(); // mapped above our windows, which its holes leave within reach
}

} // namespace platform
