#include "platform/qt/SettingsPreferenceStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The preset in the file itself (QSettings objects of one process share what they read).
int storedOnDisk(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpressionMatch found =
        QRegularExpression(QStringLiteral("^qualitaAudio=(\\d+)$"), QRegularExpression::MultilineOption)
            .match(QString::fromUtf8(in.readAll()));
    return found.hasMatch() ? found.captured(1).toInt() : -1;
}

} // namespace

// A write reaches the disk once the event loop has turned (so a process ended at once later on
// keeps it) or when the store goes, at a normal quit; a read is answered from memory.
TEST(SettingsPreferenceStore, WritesReachTheDiskFromTheEventLoopOrAtTheEndAndReadsStayInMemory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("registratore.conf"));
    const QString key = QStringLiteral("qualitaAudio");
    {
        platform::SettingsPreferenceStore store(file);
        store.setValue(key, 2);
        QCoreApplication::processEvents();
        EXPECT_EQ(storedOnDisk(file), 2);

        // Another program rewrites the file: the reads do not go back to the disk for it.
        QFile other(file);
        ASSERT_TRUE(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
        other.write("[General]\nqualitaAudio=0\nwrittenBy=another program\n");
        other.close();
        EXPECT_EQ(store.value(key).value_or(QVariant()).toInt(), 2);
        EXPECT_FALSE(store.value(QStringLiteral("lastRecordingFolder")));

        store.setValue(key, 1);
    }
    EXPECT_EQ(storedOnDisk(file), 1);
}
