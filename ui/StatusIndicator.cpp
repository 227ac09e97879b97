#include "ui/StatusIndicator.h"

#include "ui/SavingMessage.h"

#include "recording/ElapsedTime.h"

#include <QAction>
#include <QCoreApplication>
#include <QIcon>
#include <QTimer>

using State = RecordingController::State;

namespace {
// The symbolic icons are named after the application id, as the desktop entry's icon is.
const QString idleIcon = QStringLiteral("org.registratore.Registratore-symbolic");
const QString recordingIcon = QStringLiteral("org.registratore.Registratore-recording-symbolic");
const QString pausedIcon = QStringLiteral("org.registratore.Registratore-paused-symbolic");
} // namespace

StatusLook statusLookFor(State state, double seconds, const QString &saving)
{
    StatusLook look{QStringLiteral("micona"), true, QStringLiteral("Registratore"), idleIcon};
    switch (state) {
    case State::Recording:
        // The red dot keeps its colour: a mask would turn it into the bar's.
        look = {
            QStringLiteral("micona-recording"), false,
            //: The status icon's tooltip; %1 is the elapsed time, as 00 : 01 : 23.
            QCoreApplication::translate("StatusIndicator", "Recording %1").arg(formatElapsedTime(seconds)),
            recordingIcon};
        break;
    case State::Paused:
        look = {QStringLiteral("micona-paused"), true,
                //: The status icon's tooltip; %1 is the elapsed time, as 00 : 01 : 23.
                QCoreApplication::translate("StatusIndicator", "Paused %1").arg(formatElapsedTime(seconds)),
                pausedIcon};
        break;
    case State::Ready:
        if (!saving.isEmpty())
            look.toolTip = saving;
        return look;
    }
    if (!saving.isEmpty())
        look.toolTip += QLatin1Char('\n') + saving;
    return look;
}

StatusLook statusLookFor(const RecordingController &controller)
{
    return statusLookFor(controller.state(), controller.elapsedSeconds(),
                         savingMessage(controller.saving(), controller.quitWaits()));
}

void showImage(platform::StatusItem &item, const StatusLook &look)
{
    QIcon image(QStringLiteral(":/images/%1.svg").arg(look.image));
    if (!image.isNull())
        image.setIsMask(look.mask); // drawn in the status bar's own colour where the platform can
    item.setImage(image, look.themeIcon);
}

StatusIndicator::StatusIndicator(RecordingController &controller, platform::StatusItem &item, QObject *parent)
    : QObject(parent), controller(controller), item(item),
      // What the launch put on the icon already.
      shown(statusLookFor(State::Ready, 0))
{
    ticking.setSingleShot(true);
    connect(&ticking, &QTimer::timeout, this, &StatusIndicator::refresh);
    connect(&controller, &RecordingController::stateChanged, this, &StatusIndicator::refresh);
    // The paused time is known only once the recorder has paused.
    connect(&controller, &RecordingController::timeTextChanged, this, &StatusIndicator::refresh);
    // A status bar that asks for the tooltip gets the time of the moment it asks.
    connect(&item, &platform::StatusItem::toolTipWanted, this, &StatusIndicator::refresh);
    // A file still being saved after the stop.
    connect(&controller.saving(), &SavingRecordings::changed, this, &StatusIndicator::refresh);
    connect(&controller, &RecordingController::quitWaitStarted, this, &StatusIndicator::refresh);
    refresh();
}

StatusIndicator::~StatusIndicator() = default;

void StatusIndicator::showStateIn(QAction *entry)
{
    stateEntry = entry;
    refresh();
}

void StatusIndicator::refresh()
{
    const StatusLook look = statusLookFor(controller);
    if (look.image != shown.image || look.mask != shown.mask || look.themeIcon != shown.themeIcon)
        showImage(item, look);
    if (look.toolTip != shown.toolTip)
        item.setToolTip(look.toolTip);
    if (stateEntry)
        stateEntry->setText(look.toolTip);
    item.setNeedsAttention(controller.state() == State::Recording);
    shown = look;

    if (controller.state() != State::Recording || item.asksForToolTip()) {
        ticking.stop();
        return;
    }
    // Just after the recording's next whole second, so the time shown is never a second behind.
    const auto millis = static_cast<qint64>(controller.elapsedSeconds() * 1000);
    ticking.start(static_cast<int>(1000 - millis % 1000) + 20);
}
