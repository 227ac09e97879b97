#include "platform/outsideclicks/DeactivationClickMonitor.h"

#include <QGuiApplication>

namespace platform {

DeactivationClickMonitor::DeactivationClickMonitor()
{
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationInactive)
            report();
    });
}

} // namespace platform
