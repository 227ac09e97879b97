#include "recording/RecentRecordings.h"

#include "fakes/FakeChoices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class RecentRecordingsTest : public ::testing::Test {
protected:
    QString made(const QString &name)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }

    QTemporaryDir folder;
    TestPreferences preferences;
    RecentRecordings recent{preferences};
};

} // namespace

TEST_F(RecentRecordingsTest, NewestFirstEachOnceAndNoMoreThanFive)
{
    QStringList made7;
    for (int i = 0; i < 7; ++i)
        made7 << made(QStringLiteral("r%1.caf").arg(i));
    for (const QString &path : made7)
        recent.add(path);
    recent.add(made7[3]); // saved again under the same name
    EXPECT_EQ(recent.files(), (QStringList{made7[3], made7[6], made7[5], made7[4], made7[2]}));
    EXPECT_EQ(recent.newest(), made7[3]);
    // Kept in the preferences, for the next start.
    EXPECT_EQ(RecentRecordings(preferences).files(), recent.files());
}

TEST_F(RecentRecordingsTest, WhatIsGoneOrNotARecordingDropsOutAsTheListIsRead)
{
    const QString kept = made(QStringLiteral("kept.caf"));
    const QString deleted = made(QStringLiteral("deleted.caf"));
    const QString replacedByLink = made(QStringLiteral("link.caf"));
    const QString replacedByFifo = made(QStringLiteral("fifo.caf"));
    for (const QString &path : {kept, deleted, replacedByLink, replacedByFifo})
        recent.add(path);
    QFile::remove(deleted);
    QFile::remove(replacedByLink);
    ASSERT_TRUE(QFile::link(kept, replacedByLink));
    QFile::remove(replacedByFifo);
    ASSERT_EQ(::mkfifo(QFile::encodeName(replacedByFifo).constData(), 0600), 0);

    EXPECT_EQ(recent.files(), QStringList{kept});
    EXPECT_EQ(preferences.value(QStringLiteral("RecentRecordings")).toStringList(), QStringList{kept});
}

// Whatever the preferences file holds, the list is a list of at most five existing files.
TEST_F(RecentRecordingsTest, GarbageInThePreferencesGivesAnEmptyOrCleanList)
{
    const QString kept = made(QStringLiteral("kept.caf"));
    const QVariant garbage[] = {
        QStringLiteral("just a string"),
        42,
        QVariantMap{{QStringLiteral("a"), kept}},
        QVariantList{1, QVariantList{kept}, QStringLiteral("relative.caf"), QString(5000, QLatin1Char('a'))},
        QStringList{folder.path(), QStringLiteral("/dev/null"), QStringLiteral("")},
    };
    for (const QVariant &value : garbage) {
        preferences.setValue(QStringLiteral("RecentRecordings"), value);
        EXPECT_EQ(recent.files(), QStringList()) << value.toString().toStdString();
    }
    preferences.setValue(QStringLiteral("RecentRecordings"),
                         QStringList{QStringLiteral("nope"), kept,
                                     folder.path() + QStringLiteral("/../") + QDir(folder.path()).dirName() +
                                         QStringLiteral("/kept.caf")});
    EXPECT_EQ(recent.files(), QStringList{kept});
}
