#include "ui/AppDelegate.h"

#include "platform/Log.h"
#include "recording/ModelData.h"
#include "ui/NotificationCenter.h"

#include <QIcon>
#include <QTimer>

#include <cstdio>

AppDelegate::AppDelegate(std::unique_ptr<platform::StatusItem> statusItem,
                         std::unique_ptr<platform::Popover> popover,
                         platform::GlobalEventMonitor &desktopEvents)
    : statusItem(std::move(statusItem)), popover(std::move(popover)), desktopEvents(desktopEvents)
{
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching(const PanelFactory &makePanel)
{
    if (statusItem->hasButton()) {
        QIcon image(QStringLiteral(":/images/micona.svg"));
        if (!image.isNull())
            image.setIsMask(true); // drawn in the status bar's own colour where the platform can
        statusItem->setImage(image);
        connect(statusItem.get(), &platform::StatusItem::activated, this, &AppDelegate::togglePopover);
    }
    popover->setContent(makePanel());
    eventMonitor = std::make_unique<EventMonitor>(
        outsideClickMask, [this](platform::GlobalEvent *event) { outsideClick(event); }, desktopEvents);
    eventMonitor->start();
    QTimer::singleShot(launchDelay, this, &AppDelegate::delayedLaunchTask);
    NotificationCenter::defaultCenter().addObserver(QStringLiteral("ridimensiona"), this,
                                                    [this] { ridimensiona(); });
}

void AppDelegate::launchWithoutStatusBar(const PanelFactory &makePanel)
{
    standalone = true;
    popover->setContent(makePanel());
    popover->showRelativeTo({});
    NotificationCenter::defaultCenter().addObserver(QStringLiteral("ridimensiona"), this,
                                                    [this] { showWindow(); });
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows)
{
    if (!hasVisibleWindows)
        showWindow();
    return true;
}

void AppDelegate::RiapriAppWithSender(QObject *)
{
    Log::line("RiapriApp");
    showWindow();
}

void AppDelegate::showRecorder()
{
    if (standalone)
        popover->showRelativeTo({});
    else if (!popover->isShown())
        showPopover();
}

void AppDelegate::showWindow()
{
    if (!window) {
        std::fputs("registratore: there is no window to bring to the front\n", stderr);
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void AppDelegate::togglePopover(QObject *sender)
{
    if (popover->isShown()) {
        closePopover(sender);
    } else if (closedByOutsideClick.isValid() && closedByOutsideClick.elapsed() < sameClick.count()) {
        closedByOutsideClick.invalidate();
    } else {
        showPopover();
    }
}

void AppDelegate::showPopover()
{
    Log::line("mostro il traduttore");
    if (statusItem->hasButton())
        popover->showRelativeTo(statusItem->takeAnchor());
    if (eventMonitor)
        eventMonitor->start();
}

void AppDelegate::closePopover(QObject *sender)
{
    const QString guard = ModelData::shared().chiudo;
    Log::line(QStringLiteral("chiudo il traduttore ModelData.shared.chiudo : ") + guard);
    if (!ModelData::allowsClose(guard))
        return;
    Log::line("posso chiudere il popup");
    popover->performClose(sender);
    if (eventMonitor)
        eventMonitor->stop();
}

void AppDelegate::outsideClick(platform::GlobalEvent *event)
{
    if (!popover->isShown())
        return;
    closePopover(event);
    if (!popover->isShown())
        closedByOutsideClick.start();
}

void AppDelegate::toggleWithEmptyEvent()
{
    platform::GlobalEvent empty;
    if (popover->isShown())
        closePopover(&empty);
    else
        showPopover();
}

void AppDelegate::delayedLaunchTask()
{
    Log::line("Are we there yet?");
    toggleWithEmptyEvent();
}

void AppDelegate::ridimensiona()
{
    Log::line("ridimensiono l applicazione");
    toggleWithEmptyEvent();
}
