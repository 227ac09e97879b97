#include "platform/qt/QtApplication.h"

#include <QCoreApplication>

namespace platform {

void QtApplication::terminate()
{
    QCoreApplication::quit();
}

} // namespace platform
