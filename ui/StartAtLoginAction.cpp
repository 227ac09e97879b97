#include "ui/StartAtLoginAction.h"

#include "platform/Log.h"
#include "platform/LoginStart.h"

StartAtLoginAction::StartAtLoginAction(platform::LoginStart &loginStart, QObject *parent)
    : QAction(tr("Start at Login"), parent), loginStart(loginStart)
{
    setCheckable(true);
    refresh();
    connect(this, &QAction::triggered, this, &StartAtLoginAction::apply);
}

void StartAtLoginAction::refresh()
{
    setChecked(loginStart.isEnabled());
}

void StartAtLoginAction::apply(bool enabled)
{
    QString why;
    if (!loginStart.setEnabled(enabled, &why)) {
        const QString text = (enabled ? tr("Start at Login could not be turned on: %1")
                                      : tr("Start at Login could not be turned off: %1"))
                                 .arg(why);
        Log::diagnostic(text);
        emit userMessage(text);
    }
    refresh();
}
