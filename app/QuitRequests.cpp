#include "app/QuitRequests.h"

#include "recording/RecordingController.h"

#include <QCoreApplication>
#include <QEvent>

QuitRequests::QuitRequests(RecordingController &controller, QObject *parent)
    : QObject(parent), controller(controller)
{
}

bool QuitRequests::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Quit || watched != QCoreApplication::instance())
        return QObject::eventFilter(watched, event);
    controller.requestQuit();
    return true;
}
