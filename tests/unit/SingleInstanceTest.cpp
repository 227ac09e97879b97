#include "platform/SingleInstance.h"

#include "fakes/PrivateSessionBus.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

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

        // A file: its name, with a space and a line break, arrives whole.
        const QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("nota vocale\n1.caf")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        QSignalSpy opened(&running, &platform::SingleInstance::openRequested);
        EXPECT_TRUE(later.handOverFile(file.fileName()));
        if (opened.isEmpty())
            opened.wait(5000);
        ASSERT_EQ(opened.size(), 1);
        EXPECT_EQ(opened.first().first().toString(), file.fileName());

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

// What comes over the bus may come from any client: only the first path counts, and only an
// absolute, bounded path to a regular file. A link, a FIFO or a device is refused without being
// followed or opened (opening a FIFO would hang the recorder).
TEST(SingleInstanceTest, OnlyTheFirstPathToARegularFileIsPassedOn)
{
    const QTemporaryDir folder;
    const QString recording = folder.filePath(QStringLiteral("take.caf"));
    QFile file(recording);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString link = folder.filePath(QStringLiteral("link.caf"));
    ASSERT_TRUE(QFile::link(recording, link));
    const QString fifo = folder.filePath(QStringLiteral("fifo.caf"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString tooLong =
        QStringLiteral("/") + QString(platform::SingleInstance::longestPath, QLatin1Char('a'));

    struct Case {
        QStringList paths;
        bool opened;
    };
    const Case cases[] = {
        {{recording}, true},
        {{recording, QStringLiteral("/dev/null")}, true},
        {{QStringLiteral("/dev/null"), recording}, false},
        {{QStringLiteral("take.caf")}, false},
        {{folder.path() + QStringLiteral("/../") + QFileInfo(folder.path()).fileName() +
          QStringLiteral("/take.caf")},
         false},
        {{link}, false},
        {{fifo}, false},
        {{folder.path()}, false},
        {{folder.filePath(QStringLiteral("gone.caf"))}, false},
        {{tooLong}, false},
        {{}, false},
    };
    platform::SingleInstance running(QStringLiteral("org.registratore.Test"));
    for (const Case &c : cases) {
        QSignalSpy opened(&running, &platform::SingleInstance::openRequested);
        running.receiveFiles(c.paths);
        EXPECT_EQ(opened.size(), c.opened ? 1 : 0) << qPrintable(c.paths.join(QLatin1Char(' ')).left(100));
        if (c.opened && !opened.isEmpty()) {
            EXPECT_EQ(opened.first().first().toString(), recording);
        }
    }
}
