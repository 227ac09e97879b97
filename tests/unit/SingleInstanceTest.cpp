#include "platform/SingleInstance.h"

#include "fakes/PrivateSessionBus.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

TEST(SingleInstanceTest, ALaterLaunchReachesTheRunningOneAndTheNameIsFreedWhenItEnds)
{
#ifndef REGISTRATORE_PORTABLE
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon (Debian package dbus-daemon) did not start";
#endif
    const QString id = QStringLiteral("org.registratore.Test_%1").arg(QCoreApplication::applicationPid());
    {
        platform::SingleInstance running(id);
        ASSERT_FALSE(running.handOverToRunning()); // nobody runs yet
        ASSERT_TRUE(running.listen());
        int requests = 0;
        QObject::connect(&running, &platform::SingleInstance::reopenRequested, [&requests] { ++requests; });

        platform::SingleInstance later(id);
        EXPECT_TRUE(later.handOverToRunning());
        QTRY_COMPARE(requests, 1);

        // Commands: the running one answers Starting until it has a handler, then its answers.
        using Outcome = platform::SingleInstance::Answer::Outcome;
        EXPECT_EQ(later.sendCommand(QStringLiteral("record")).outcome, Outcome::Starting);
        running.setCommandHandler([](const QString &action) -> platform::SingleInstance::Answer {
            if (action == QLatin1String("record"))
                return {Outcome::Done, QStringLiteral("recording")};
            return {Outcome::Refused, QStringLiteral("nothing is recording")};
        });
        const platform::SingleInstance::Answer done = later.sendCommand(QStringLiteral("record"));
        EXPECT_EQ(done.outcome, Outcome::Done);
        EXPECT_EQ(done.text, QStringLiteral("recording"));
        const platform::SingleInstance::Answer refused = later.sendCommand(QStringLiteral("stop"));
        EXPECT_EQ(refused.outcome, Outcome::Refused);
        EXPECT_EQ(refused.text, QStringLiteral("nothing is recording"));
    }
    // Nobody listens any more: the next launch becomes the running one.
    platform::SingleInstance next(id);
    EXPECT_FALSE(next.handOverToRunning());
    EXPECT_EQ(next.sendCommand(QStringLiteral("stop")).outcome,
              platform::SingleInstance::Answer::Outcome::NoneRunning);
    EXPECT_TRUE(next.listen());
}
