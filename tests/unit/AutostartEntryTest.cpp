#include "platform/loginstart/freedesktop/AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using platform::AutostartEntry;

namespace {

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The user's configuration folder is a temporary one, as the session would name it.
class AutostartEntryTest : public ::testing::Test {
protected:
    AutostartEntryTest() : saved(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    }
    ~AutostartEntryTest() override { qputenv("XDG_CONFIG_HOME", saved); }

    QTemporaryDir home;
    QByteArray saved;
    QString folder = home.filePath(QStringLiteral("autostart"));
    QString name = home.filePath(QStringLiteral("autostart/org.registratore.Registratore.desktop"));
};

} // namespace

TEST_F(AutostartEntryTest, OnWritesTheEntryInTheUsersAutostartFolderAndOffRemovesIt)
{
    AutostartEntry entry(AutostartEntry::defaultFolder(), QStringLiteral("/opt/my build/registratore"));
    EXPECT_EQ(entry.path(), name);
    EXPECT_FALSE(entry.isEnabled());
    QString error;
    ASSERT_TRUE(entry.setEnabled(true, &error)) << qPrintable(error);
    EXPECT_TRUE(entry.isEnabled());
    QHash<QString, QString> keys;
    const QList<QByteArray> lines = read(name).split('\n');
    EXPECT_EQ(lines.value(0), "[Desktop Entry]");
    for (const QByteArray &line : lines) {
        if (const qsizetype equals = line.indexOf('='); equals > 0)
            keys.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
    }
    const QHash<QString, QString> expected{
        {"Type", "Application"},
        {"Exec", "\"/opt/my build/registratore\" --autostart"},
        {"Icon", "org.registratore.Registratore"},
        {"Terminal", "false"},
        {"X-GNOME-Autostart-enabled", "true"},
        {"X-KDE-autostart-after", "panel"},
    };
    for (auto key = expected.begin(); key != expected.end(); ++key)
        EXPECT_EQ(keys.value(key.key()), key.value()) << qPrintable(key.key());
    EXPECT_FALSE(keys.value("Name").isEmpty());
    EXPECT_GT(keys.value("X-GNOME-Autostart-Delay").toInt(), 0);

    // Turned off in place, as desktops' startup settings do, it reads off.
    ASSERT_TRUE(write(name, read(name) + "Hidden=true\n"));
    EXPECT_FALSE(entry.isEnabled());

    ASSERT_TRUE(entry.setEnabled(false, &error)) << qPrintable(error);
    EXPECT_FALSE(QFileInfo::exists(name));
    EXPECT_FALSE(entry.isEnabled());
    EXPECT_TRUE(entry.setEnabled(false, &error)) << "off already";
}

// Whatever someone else put at the entry's name is left as it is, and so is what a link points
// to; a folder that cannot be made is said.
TEST_F(AutostartEntryTest, WhatIsInTheWayIsRefusedAndLeftUntouched)
{
    const QString target = home.filePath(QStringLiteral("precious"));
    enum Thing { Link, Fifo, Folder, FolderIsAFile };
    for (Thing thing : {Link, Fifo, Folder, FolderIsAFile}) {
        QDir(folder).removeRecursively();
        QFile::remove(folder);
        ASSERT_TRUE(write(target, "keep me\n"));
        if (thing == FolderIsAFile) {
            ASSERT_TRUE(write(folder, "not a folder\n"));
        } else {
            ASSERT_TRUE(QDir().mkpath(folder));
            const bool made = thing == Link   ? QFile::link(target, name)
                              : thing == Fifo ? ::mkfifo(QFile::encodeName(name).constData(), 0600) == 0
                                              : QDir().mkpath(name);
            ASSERT_TRUE(made) << thing;
        }
        AutostartEntry entry(folder, QStringLiteral("registratore"));
        EXPECT_FALSE(entry.isEnabled()) << thing;
        for (const bool on : {true, false}) {
            QString error;
            const bool offAlready = thing == FolderIsAFile && !on; // no entry can be there
            EXPECT_EQ(entry.setEnabled(on, &error), offAlready) << thing << on;
            if (!offAlready) {
                EXPECT_TRUE(error.contains(thing == FolderIsAFile ? folder : name)) << qPrintable(error);
            }
        }
        EXPECT_EQ(read(target), "keep me\n") << thing;
        EXPECT_EQ(QFileInfo(name).isSymLink(), thing == Link);
        EXPECT_EQ(QFileInfo(folder).isFile(), thing == FolderIsAFile);
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(),
                  thing == FolderIsAFile ? 0 : 1)
            << "no temporary file is left";
    }
}

TEST(AutostartExecTest, ArgumentsAreQuotedAsDesktopEntriesAsk)
{
    const std::pair<const char *, const char *> cases[] = {
        {"registratore", "registratore"},
        {"/usr/bin/registratore", "/usr/bin/registratore"},
        {"/home/me/my build/registratore", "\"/home/me/my build/registratore\""},
        {"/tmp/a\"b$c`d\\e", "\"/tmp/a\\\"b\\$c\\`d\\\\e\""},
        {"/tmp/100%/registratore", "/tmp/100%%/registratore"},
        {"/tmp/it's", "\"/tmp/it's\""},
    };
    for (const auto &[argument, quoted] : cases)
        EXPECT_EQ(AutostartEntry::execArgument(QString::fromUtf8(argument)), QString::fromUtf8(quoted))
            << argument;
    // In the file, the Exec value's backslashes are escaped once more.
    EXPECT_TRUE(AutostartEntry::contents(QStringLiteral("/tmp/a\\b"))
                    .contains("Exec=\"/tmp/a\\\\\\\\b\" --autostart\n"));
}
