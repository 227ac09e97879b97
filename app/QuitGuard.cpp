#include "app/QuitGuard.h"

#include "recording/RecordingController.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

QuitGuard::QuitGuard(RecordingController &controller, std::function<void()> showProgress, QObject *parent)
    : QObject(parent), controller(controller), showProgress(std::move(showProgress))
{
    connect(&controller.saving(), &SavingRecordings::saveFailed, this, [this](const QString &failure) {
        if (waiting)
            failed << failure;
    });
    connect(&controller.saving(), &SavingRecordings::allSaved, this, &QuitGuard::allSaved);
}

bool QuitGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Quit || watched != QCoreApplication::instance() || !controller.busy())
        return QObject::eventFilter(watched, event);
    if (waiting) {
        // Asked twice: the user would rather lose what is left than wait for it.
        abandoned = controller.saving().secondsToSave();
        QCoreApplication::exit(1);
        return true;
    }
    waiting = true;
    if (controller.state() != RecordingController::State::Ready)
        controller.stop();
    // A healthy disk completes the file at once, and the application quits with nothing shown.
    QTimer::singleShot(SavingRecordings::graceMilliseconds, this, [this] {
        if (!waiting)
            return;
        controller.saving().setQuitPending(true);
        if (showProgress)
            showProgress();
    });
    return true;
}

void QuitGuard::allSaved()
{
    if (!waiting)
        return;
    waiting = false;
    QCoreApplication::exit(failed.isEmpty() ? 0 : 1);
}
