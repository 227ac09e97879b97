#include "app/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// What the command line asks for, with Qt's own options anywhere beside ours: they are let
// through, never read as -p -l -a ..., and a recorder that --record starts gets them too.
TEST(CommandLineTest, QtOptionsBesideOursAreLetThrough)
{
    using Action = CommandLine::Action;
    struct Case {
        QStringList arguments;
        Action action;
        QStringList qtArguments;
        bool atLogin = false;
    };
    const QString xcb = QStringLiteral("xcb");
    const Case cases[] = {
        {{}, Action::RunRecorder, {}},
        {{"-platform", "offscreen"}, Action::RunRecorder, {"-platform", "offscreen"}},
        {{"--platform", "xcb", "--record"}, Action::Record, {"-platform", "xcb"}},
        {{"--stop", "-style=fusion", "-reverse"}, Action::Stop, {"-reverse", "-style", "fusion"}},
        {{"-display", ":1", "-qwindowgeometry", "200x100+0+0"},
         Action::RunRecorder,
         {"-qwindowgeometry", "200x100+0+0", "-display", ":1"}},
        {{"-reverse", "--version"}, Action::Print, {}},
        {{"--record", "--stop"}, Action::UsageError, {}},
        {{"-platform"}, Action::UsageError, {}},
        {{"-p"}, Action::UsageError, {}},
        {{"take.caf", "-platform", "xcb"}, Action::RunRecorder, {"-platform", "xcb"}},
        {{"--record", "take.caf"}, Action::UsageError, {}},
        {{"--autostart", "-platform", "xcb"}, Action::RunRecorder, {"-platform", "xcb"}, true},
        {{"--record", "--autostart"}, Action::Record, {}, false},
    };
    for (const Case &c : cases) {
        const CommandLine line =
            CommandLine::parse(QStringList{QStringLiteral("registratore")} + c.arguments);
        EXPECT_EQ(line.action, c.action)
            << qPrintable(c.arguments.join(' ')) << ": " << qPrintable(line.text);
        EXPECT_EQ(line.qtArguments, c.qtArguments) << qPrintable(c.arguments.join(' '));
        EXPECT_EQ(line.atLogin, c.atLogin) << qPrintable(c.arguments.join(' '));
    }
}

TEST(CommandLineTest, HelpListsOurOptionsAndTheExitStatusesAndVersionLeadsWithTheVersion)
{
    const auto print = [](const char *option) {
        const CommandLine line =
            CommandLine::parse({QStringLiteral("registratore"), QString::fromLatin1(option)});
        EXPECT_EQ(line.action, CommandLine::Action::Print) << option;
        return line.text;
    };
    const QString help = print("--help");
    for (const char *part : {"--record", "--stop", "--version", "Exit status:\n  0  ", "\n  1  ", "\n  2  "})
        EXPECT_TRUE(help.contains(QLatin1String(part))) << part;
    EXPECT_FALSE(help.contains(QLatin1String("--platform <")));
    EXPECT_TRUE(print("--help-all").contains(QLatin1String("--platform <")));
    // The autostart entry's own argument is not the user's.
    EXPECT_FALSE(print("--help-all").contains(QLatin1String("--autostart")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^registratore [0-9]+\\.[0-9]+\\.[0-9]+\\n"))
                    .match(print("--version"))
                    .hasMatch());
}

// The log of recorders started by --record: past its limit it becomes the one older log,
// replacing the one before; under it, it is left to grow.
TEST(CommandLineTest, TheShortcutLogIsRotatedOncePastItsLimit)
{
    const QTemporaryDir folder;
    const QString log = folder.filePath(QStringLiteral("started-from-shortcut.log"));
    const auto write = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    const auto read = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    };
    ASSERT_TRUE(write(log, "short\n") && write(log + ".1", "oldest\n"));
    rotateLogWhenFull(log, 10);
    EXPECT_EQ(read(log), "short\n");
    EXPECT_EQ(read(log + ".1"), "oldest\n");

    ASSERT_TRUE(write(log, "ten bytes and more\n"));
    rotateLogWhenFull(log, 10);
    EXPECT_FALSE(QFile::exists(log));
    EXPECT_EQ(read(log + ".1"), "ten bytes and more\n");
}

// Files are made absolute in the launch's folder, and the one to open is resolved there, once:
// a link to a recording gives the recording, and what is no regular file gives nothing.
TEST(CommandLineTest, FilesAreMadeAbsoluteAndTheOneToOpenIsARegularFileWithItsLinkResolved)
{
    const QStringList files = CommandLine::parse({QStringLiteral("registratore"), QStringLiteral("a b.caf"),
                                                  QStringLiteral("/x/../y.caf")})
                                  .files;
    EXPECT_EQ(files, (QStringList{QDir::current().absoluteFilePath(QStringLiteral("a b.caf")),
                                  QStringLiteral("/y.caf")}));

    const QTemporaryDir folder;
    const QString recording = folder.filePath(QStringLiteral("take.caf"));
    const QString link = folder.filePath(QStringLiteral("link.caf"));
    QFile file(recording);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QFile::link(recording, link));
    QString why;
    EXPECT_EQ(recordingToOpen(link, &why), QFileInfo(recording).canonicalFilePath());
    EXPECT_EQ(recordingToOpen(folder.filePath(QStringLiteral("gone.caf")), &why), QString());
    EXPECT_EQ(why, QStringLiteral("no such file"));
    EXPECT_EQ(recordingToOpen(folder.path(), &why), QString());
    EXPECT_EQ(why, QStringLiteral("not a regular file"));
}
