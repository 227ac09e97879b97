#include "platform/qt/ClickCatcherEventMonitor.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform {

class ClickCatcherEventMonitor::Catcher : public QWidget {
public:
    explicit Catcher(ClickCatcherEventMonitor &monitor)
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
        const auto button = event->button();
        if (button != Qt::LeftButton && button != Qt::RightButton)
            return;
        GlobalEvent click(button == Qt::LeftButton ? EventKind::LeftMouseDown : EventKind::RightMouseDown,
                          event->globalPosition().toPoint());
        monitor.deliver(&click);
    }

private:
    ClickCatcherEventMonitor &monitor;
};

ClickCatcherEventMonitor::ClickCatcherEventMonitor() = default;

ClickCatcherEventMonitor::~ClickCatcherEventMonitor()
{
    qGuiApp->removeEventFilter(this);
}

GlobalEventMonitor::Token ClickCatcherEventMonitor::addMonitor(std::uint64_t mask, Callback callback)
{
    if (!running())
        qGuiApp->installEventFilter(this);
    const Token token = DeactivationEventMonitor::addMonitor(mask, std::move(callback));
    scheduleUpdate();
    return token;
}

void ClickCatcherEventMonitor::removeMonitor(Token token)
{
    DeactivationEventMonitor::removeMonitor(token);
    if (!running())
        qGuiApp->removeEventFilter(this);
    scheduleUpdate();
}

QWidget *ClickCatcherEventMonitor::catcher() const
{
    return window && window->isVisible() ? window.get() : nullptr;
}

bool ClickCatcherEventMonitor::eventFilter(QObject *watched, QEvent *event)
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
    return DeactivationEventMonitor::eventFilter(watched, event);
}

void ClickCatcherEventMonitor::scheduleUpdate()
{
    if (updatePending)
        return;
    updatePending = true;
    QMetaObject::invokeMethod(this, &ClickCatcherEventMonitor::update, Qt::QueuedConnection);
}

void ClickCatcherEventMonitor::update()
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
    if (!running() || !ours || QGuiApplication::modalWindow() || desktop.isEmpty()) {
        if (window)
            window->hide();
        return;
    }
    if (!window)
        window = std::make_unique<Catcher>(*this);
    window->setGeometry(desktop);
    window->setMask(outside);
    window->show(); // mapped above our windows, which its holes leave within reach
}

} // namespace platform
