#include "ui/StatusBarShell.h"

#include "platform/Log.h"
#include "recording/RecordingController.h"
#include "ui/StatusIndicator.h"

#include <QIcon>
#include <QTimer>

StatusBarShell::StatusBarShell(std::unique_ptr<platform::StatusItem> statusItem,
                               std::unique_ptr<platform::Popover> popover,
                               std::unique_ptr<platform::OutsideClickMonitor> outsideClicks,
                               const RecordingController &recording)
    : statusItem(std::move(statusItem)), popover(std::move(popover)), outsideClicks(std::move(outsideClicks)),
      recording(recording)
{
    connect(this->outsideClicks.get(), &platform::OutsideClickMonitor::clickedOutside, this,
            &StatusBarShell::outsideClick);
}

StatusBarShell::~StatusBarShell() = default;

void StatusBarShell::launchInStatusBar(QWidget *panel, Opening opening)
{
    if (statusItem->hasButton()) {
        showImage(*statusItem, statusLookFor(RecordingController::State::Ready, 0));
        connect(statusItem.get(), &platform::StatusItem::activated, this, &StatusBarShell::togglePopover);
    }
    popover->setContent(panel);
    inStatusBar = true;
    if (opening == Opening::Closed)
        return;
    outsideClicks->start();
    QTimer::singleShot(launchDelay, this, &StatusBarShell::openAfterLaunch);
}

void StatusBarShell::launchInWindow(QWidget *panel)
{
    standalone = true;
    popover->setContent(panel);
    QTimer::singleShot(launchDelay, this, &StatusBarShell::openAfterLaunch);
}

void StatusBarShell::showRecorder()
{
    if (standalone) {
        Log::line("mostro il traduttore");
        popover->showRelativeTo({});
    } else if (!popover->isShown()) {
        showPopover();
    }
}

void StatusBarShell::closeRecorder()
{
    if (!standalone && popover->isShown())
        closePopover(this);
}

void StatusBarShell::togglePopover(QObject *sender)
{
    if (popover->isShown()) {
        closePopover(sender);
    } else if (closedByOutsideClick.isValid() && closedByOutsideClick.elapsed() < sameClick.count()) {
        closedByOutsideClick.invalidate();
    } else {
        showPopover();
    }
}

void StatusBarShell::showPopover()
{
    Log::line("mostro il traduttore");
    if (statusItem->hasButton())
        popover->showRelativeTo(statusItem->takeAnchor());
    if (inStatusBar)
        outsideClicks->start();
}

void StatusBarShell::closePopover(QObject *sender)
{
    // The close guard: the popover stays open while the save dialog is up.
    const bool mayClose = !recording.choosingWhereToSave();
    Log::line(QStringLiteral("chiudo il traduttore ModelData.shared.chiudo : ") +
              QLatin1String(mayClose ? "Si" : "No"));
    if (!mayClose)
        return;
    Log::line("posso chiudere il popup");
    popover->performClose(sender);
    outsideClicks->stop();
}

void StatusBarShell::outsideClick()
{
    if (!popover->isShown())
        return;
    closePopover(outsideClicks.get());
    if (!popover->isShown())
        closedByOutsideClick.start();
}

void StatusBarShell::toggle()
{
    if (popover->isShown())
        closePopover(this);
    else
        showPopover();
}

void StatusBarShell::openAfterLaunch()
{
    Log::line("Are we there yet?");
    // A window is only ever opened here: it closes as any window does.
    if (standalone)
        showRecorder();
    else
        toggle();
}

void StatusBarShell::togglePanel()
{
    if (standalone)
        return;
    Log::line("ridimensiono l applicazione");
    toggle();
}
