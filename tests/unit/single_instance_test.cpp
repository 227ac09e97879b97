#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QTest>

#include <gtest/gtest.h>

TEST(SingleInstanceTest, ALaterLaunchReachesTheRunningOneAndAStaleSocketIsReplaced)
{
    const QString name = QStringLiteral("registratore-test-%1").arg(QCoreApplication::applicationPid());
    {
        platform::SingleInstance running(name);
        ASSERT_FALSE(running.handOverToRunning()); // nobody runs yet
        ASSERT_TRUE(running.listen());
        int requests = 0;
        QObject::connect(&running, &platform::SingleInstance::reopenRequested, [&requests] { ++requests; });

        platform::SingleInstance later(name);
        EXPECT_TRUE(later.handOverToRunning());
        QTRY_COMPARE(requests, 1);
    }
    // Nobody listens any more: the next launch becomes the running one.
    platform::SingleInstance next(name);
    EXPECT_FALSE(next.handOverToRunning());
    EXPECT_TRUE(next.listen());
}
