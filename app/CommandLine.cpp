#include "app/CommandLine.h"

#include "app/Translations.h"
#include "platform/Log.h"
#include "platform/SingleInstance.h"
#include "platform/WindowSystem.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>

namespace {

using Answer = platform::SingleInstance::Answer;

// A recorder waits up to 3 s for the status bar before it takes commands.
constexpr int startMilliseconds = 15000;
constexpr int retryMilliseconds = 200;
// The log of the recorders started by --record, and the older one, hold about this much each.
constexpr qint64 shortcutLogLimit = 1024 * 1024;

// The options every Qt program takes, from QGuiApplication, QApplication and the X11 platform
// plugin. The application object acts on them; here they are only let through.
struct QtOption {
    const char *name;
    const char *valueName; // none for a switch
    const char *description;
};
constexpr QtOption qtOptions[] = {
    {"platform", "name[:options]",
     QT_TRANSLATE_NOOP("CommandLine", "Platform plugin: xcb (X11, or Xwayland), wayland, offscreen ...")},
    {"platformpluginpath", "path", QT_TRANSLATE_NOOP("CommandLine", "Where the platform plugins are.")},
    {"platformtheme", "theme", QT_TRANSLATE_NOOP("CommandLine", "Platform theme.")},
    {"plugin", "plugin",
     QT_TRANSLATE_NOOP("CommandLine", "An additional plugin to load; may be given more than once.")},
    {"qwindowgeometry", "geometry",
     QT_TRANSLATE_NOOP("CommandLine", "Geometry of the first window, as WIDTHxHEIGHT+X+Y.")},
    {"qwindowicon", "icon", QT_TRANSLATE_NOOP("CommandLine", "Default window icon.")},
    {"qwindowtitle", "title", QT_TRANSLATE_NOOP("CommandLine", "Title of the first window.")},
    {"reverse", nullptr, QT_TRANSLATE_NOOP("CommandLine", "Lays the windows out from right to left.")},
    {"session", "session",
     QT_TRANSLATE_NOOP("CommandLine", "Restores the application from an earlier session.")},
    {"style", "style", QT_TRANSLATE_NOOP("CommandLine", "Widget style, such as Fusion.")},
    {"stylesheet", "file", QT_TRANSLATE_NOOP("CommandLine", "Style sheet for the widgets.")},
    {"widgetcount", nullptr, QT_TRANSLATE_NOOP("CommandLine", "Says at the end how many widgets were left.")},
    {"display", "display", QT_TRANSLATE_NOOP("CommandLine", "X display, instead of $DISPLAY.")},
    {"name", "name", QT_TRANSLATE_NOOP("CommandLine", "Instance name (ICCCM 4.1.2.5).")},
    {"visual", "id", QT_TRANSLATE_NOOP("CommandLine", "X visual to use.")},
    {"geometry", "geometry", QT_TRANSLATE_NOOP("CommandLine", "On X11, the same as -qwindowgeometry.")},
    {"title", "title", QT_TRANSLATE_NOOP("CommandLine", "On X11, the same as -qwindowtitle.")},
    {"icon", "icon", QT_TRANSLATE_NOOP("CommandLine", "On X11, the same as -qwindowicon.")},
    {"nograb", nullptr, QT_TRANSLATE_NOOP("CommandLine", "Never grabs the mouse (for debuggers).")},
    {"dograb", nullptr, QT_TRANSLATE_NOOP("CommandLine", "Grabs the mouse even in a debugger.")},
};

const char *const versionText =
    "registratore " REGISTRATORE_VERSION "\n"
    "Copyright (C) 2025-2026 Registratore developers\n"
    "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

// After the options in --help: what is not an option of ours.
const char *const helpEpilogue = QT_TRANSLATE_NOOP(
    "CommandLine",
    "\nQt's standard options (-platform, -style, -display, -reverse, -qwindowgeometry and the others\n"
    "--help-all lists) are taken by the toolkit when the recorder runs; --record and --stop answer\n"
    "beside them without a display.\n"
    "\nExit status:\n"
    "  0  --record or --stop was carried out and printed the state it left (recording,\n"
    "     paused, stopped, choosing where to save); or the recorder ended normally, or\n"
    "     opened the panel of the one already running, or handed it the file to open.\n"
    "  1  --record or --stop was refused or failed, and printed why (nothing is recording,\n"
    "     the save dialog is open, no recorder could be reached or started ...); or the\n"
    "     file to open is missing or not a regular file; or the recorder found no\n"
    "     display, or could not complete the recording when it ended.\n"
    "  2  The command line was wrong.\n");

void declareOptions(QCommandLineParser &parser, QCommandLineOption::Flags qtOptionFlags)
{
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine",
        "A voice recorder in the desktop's status bar. Without options it starts, or opens the panel of the "
        "one already running; given a recording, it opens that in the recorder.\n--record and --stop act on "
        "the running recorder, as its buttons do, and print one line: the state they left, or why "
        "nothing was done."));
    // As Qt's own options are written: -platform, not -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(
        {QStringLiteral("record"),
         QCoreApplication::translate(
             "CommandLine", "Record, pause or resume, as the Record/Pause button does: the first press "
                            "asks where to save. Starts the recorder if it is not running.")});
    parser.addOption(
        {QStringLiteral("stop"),
         QCoreApplication::translate("CommandLine", "Stop recording, as the Stop button does.")});
    // Written by the recorder in its autostart entry, not by the user.
    QCommandLineOption atLogin(
        QStringLiteral("autostart"),
        QStringLiteral("Started by the desktop at login: waits longer for the status bar, "
                       "and opens no panel there."));
    atLogin.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(atLogin);
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QCoreApplication::translate(
            "CommandLine", "A recording (.caf) to open in the recorder: the running one, or one started "
                           "for it. Of several, the first is opened."),
        QStringLiteral("[file...]"));
    for (const QtOption &qt : qtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name),
                                  QCoreApplication::translate("CommandLine", qt.description),
                                  qt.valueName ? QString::fromLatin1(qt.valueName) : QString());
        option.setFlags(qtOptionFlags);
        parser.addOption(option);
    }
}

// Qt's options as the application object reads them: -name value.
QStringList qtArgumentsIn(const QCommandLineParser &parser)
{
    QStringList arguments;
    for (const QtOption &qt : qtOptions) {
        const QString name = QString::fromLatin1(qt.name);
        if (!parser.isSet(name))
            continue;
        if (!qt.valueName) {
            arguments << QLatin1Char('-') + name;
            continue;
        }
        for (const QString &value : parser.values(name))
            arguments << QLatin1Char('-') + name << value;
    }
    return arguments;
}

int usageError(const QString &text)
{
    std::fprintf(stderr, "registratore: %s\nTry 'registratore --help'.\n", qPrintable(text));
    return 2;
}

// Starts the recorder in the background. Its output goes to a file, not to whoever reads this
// launch's output: they would otherwise wait for the recorder to end.
bool startRecorder(const QStringList &qtArguments)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(folder);
    const QString log = QDir(folder).filePath(QStringLiteral("started-from-shortcut.log"));
    rotateLogWhenFull(log, shortcutLogLimit);
    QProcess recorder;
    recorder.setProgram(QCoreApplication::applicationFilePath());
    recorder.setArguments(qtArguments);
    recorder.setStandardInputFile(QProcess::nullDevice());
    recorder.setStandardOutputFile(log, QIODevice::Append);
    recorder.setStandardErrorFile(log, QIODevice::Append);
    return recorder.startDetached();
}

int sendToRecorder(const QString &action, const CommandLine &line)
{
    platform::SingleInstance recorder(QStringLiteral("org.registratore.Registratore"));
    Answer answer = recorder.sendCommand(action);
    if (answer.outcome == Answer::Outcome::NoneRunning) {
        if (action == QLatin1String("stop")) {
            std::puts("nothing is recording: the recorder is not running");
            return 1;
        }
        QString why;
        if (!line.choosesPlatform() && !platform::hasGraphicalSession(&why)) {
            std::puts(qPrintable(why));
            return 1;
        }
        if (!startRecorder(line.qtArguments)) {
            std::puts("the recorder could not be started");
            return 1;
        }
    }
    QElapsedTimer waited;
    waited.start();
    while ((answer.outcome == Answer::Outcome::NoneRunning || answer.outcome == Answer::Outcome::Starting) &&
           waited.elapsed() < startMilliseconds) {
        QThread::msleep(retryMilliseconds);
        answer = recorder.sendCommand(action);
    }
    switch (answer.outcome) {
    case Answer::Outcome::Done:
    case Answer::Outcome::Refused:
        // The answer comes over the bus, from whoever holds the recorder's name.
        std::puts(qPrintable(Log::escaped(answer.text.simplified())));
        return answer.outcome == Answer::Outcome::Done ? 0 : 1;
    case Answer::Outcome::Starting:
    case Answer::Outcome::NoneRunning:
        break;
    }
    std::printf("the recorder did not start within %d s\n", startMilliseconds / 1000);
    return 1;
}

} // namespace

void rotateLogWhenFull(const QString &path, qint64 limit)
{
    if (QFileInfo(path).size() < limit)
        return;
    const QString older = path + QStringLiteral(".1");
    QFile::remove(older);
    // A log that cannot be moved aside starts again instead of growing on.
    if (!QFile::rename(path, older))
        QFile::resize(path, 0);
}

CommandLine CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    declareOptions(parser, QCommandLineOption::HiddenFromHelp);
    if (!parser.parse(arguments))
        return {Action::UsageError, parser.errorText(), {}, {}};
    if (parser.isSet(QStringLiteral("help-all"))) {
        QCommandLineParser all;
        declareOptions(all, {});
        return {
            Action::Print, all.helpText() + QCoreApplication::translate("CommandLine", helpEpilogue), {}, {}};
    }
    if (parser.isSet(QStringLiteral("help")))
        return {Action::Print,
                parser.helpText() + QCoreApplication::translate("CommandLine", helpEpilogue),
                {},
                {}};
    if (parser.isSet(QStringLiteral("version")))
        return {Action::Print, QString::fromUtf8(versionText), {}, {}};
    const bool record = parser.isSet(QStringLiteral("record"));
    const bool stop = parser.isSet(QStringLiteral("stop"));
    if (record && stop)
        return {Action::UsageError, QStringLiteral("give one of --record and --stop"), {}, {}};
    QStringList files;
    for (const QString &file : parser.positionalArguments()) {
        if (record || stop)
            return {Action::UsageError,
                    QStringLiteral("--%1 takes no file, but '%2' was given")
                        .arg(record ? "record" : "stop", file),
                    {},
                    {}};
        // Relative to this launch's folder, which the running recorder does not share.
        files << QFileInfo(file).absoluteFilePath();
    }
    const Action action = record ? Action::Record : stop ? Action::Stop : Action::RunRecorder;
    CommandLine line{action, {}, qtArgumentsIn(parser), files};
    line.atLogin = action == Action::RunRecorder && parser.isSet(QStringLiteral("autostart"));
    return line;
}

QString recordingToOpen(const QString &path, QString *why)
{
    // Resolves every link on the way, the last one too: the user chose this one.
    const QString resolved = QFileInfo(path).canonicalFilePath();
    if (resolved.isEmpty()) {
        *why = QStringLiteral("no such file");
        return {};
    }
    if (!QFileInfo(resolved).isFile()) {
        *why = QStringLiteral("not a regular file");
        return {};
    }
    return resolved;
}

std::optional<int> runCommandLine(int &argc, char **argv, QString *recording, bool *atLogin)
{
    CommandLine line;
    recording->clear();
    *atLogin = false;
    if (argc > 1) {
        // Only the core application: the commands answer without a display.
        QCoreApplication application(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("registratore"));
        const Translations translations;
        line = CommandLine::parse(QCoreApplication::arguments());
        switch (line.action) {
        case CommandLine::Action::Print:
            std::fputs(qPrintable(line.text), stdout);
            return 0;
        case CommandLine::Action::UsageError:
            return usageError(line.text);
        case CommandLine::Action::Record:
            return sendToRecorder(QStringLiteral("record"), line);
        case CommandLine::Action::Stop:
            return sendToRecorder(QStringLiteral("stop"), line);
        case CommandLine::Action::RunRecorder:
            break;
        }
        *atLogin = line.atLogin;
        if (!line.files.isEmpty()) {
            QString why;
            *recording = recordingToOpen(line.files.first(), &why);
            if (recording->isEmpty()) {
                std::fprintf(stderr, "registratore: cannot open '%s': %s\n",
                             qPrintable(Log::escaped(line.files.first())), qPrintable(why));
                return 1;
            }
            if (line.files.size() > 1)
                Log::diagnostic(QStringLiteral("the recorder opens one file at a time: %1 is opened, "
                                               "and the other files given (%2) are not")
                                    .arg(*recording)
                                    .arg(line.files.size() - 1));
        }
    }
    QString why;
    if (!line.choosesPlatform() && !platform::hasGraphicalSession(&why)) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    return std::nullopt;
}
