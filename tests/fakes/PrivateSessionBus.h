#pragma once

#include <QProcess>
#include <QString>

// A session bus of the test's own, so that no desktop's bus is needed and none is disturbed.
// It must exist before anything in the process talks to the session bus.
class PrivateSessionBus {
public:
    PrivateSessionBus()
    {
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                      QStringLiteral("--print-address=1")});
        if (!daemon.waitForStarted(5000) || !daemon.waitForReadyRead(5000))
            return;
        address = QString::fromUtf8(daemon.readLine().trimmed());
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    }
    ~PrivateSessionBus()
    {
        daemon.kill();
        daemon.waitForFinished(5000);
    }
    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    QProcess daemon;
    QString address;
};
