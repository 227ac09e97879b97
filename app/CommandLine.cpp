#include "app/CommandLine.h"

#include "platform/DesktopSession.h"
#include "platform/SingleInstance.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>

namespace {

using Answer = platform::SingleInstance::Answer;

// A recorder waits up to 3 s for the status bar before it takes commands.
constexpr int startMilliseconds = 15000;
constexpr int retryMilliseconds = 200;

int usageError(const QString &text)
{
    std::fprintf(stderr, "registratore: %s\nTry 'registratore --help'.\n", qPrintable(text));
    return 2;
}

// Starts the recorder in the background. Its output goes to a file, not to whoever reads this
// launch's output: they would otherwise wait for the recorder to end.
bool startRecorder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(folder);
    const QString log = QDir(folder).filePath(QStringLiteral("started-from-shortcut.log"));
    QProcess recorder;
    recorder.setProgram(QCoreApplication::applicationFilePath());
    recorder.setStandardInputFile(QProcess::nullDevice());
    recorder.setStandardOutputFile(log, QIODevice::Append);
    recorder.setStandardErrorFile(log, QIODevice::Append);
    return recorder.startDetached();
}

int sendToRecorder(const QString &action)
{
    platform::SingleInstance recorder(QStringLiteral("org.registratore.Registratore"));
    Answer answer = recorder.sendCommand(action);
    if (answer.outcome == Answer::Outcome::NoneRunning) {
        if (action == QLatin1String("stop")) {
            std::puts("nothing is recording: the recorder is not running");
            return 1;
        }
        std::string why;
        if (!platform::hasGraphicalSession(why)) {
            std::puts(why.c_str());
            return 1;
        }
        if (!startRecorder()) {
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
        std::puts(qPrintable(answer.text.simplified()));
        return answer.outcome == Answer::Outcome::Done ? 0 : 1;
    case Answer::Outcome::Starting:
    case Answer::Outcome::NoneRunning:
        break;
    }
    std::printf("the recorder did not start within %d s\n", startMilliseconds / 1000);
    return 1;
}

} // namespace

std::optional<int> runCommandLine(int &argc, char **argv)
{
    if (argc <= 1)
        return std::nullopt;
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("registratore"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A voice recorder in the status bar. Without options it starts, or opens the panel of "
                       "the one already running.\nThe options act on the running recorder and print the "
                       "state they left (recording, paused, stopped), or why it refused, then exit 1."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption record(
        QStringLiteral("record"),
        QStringLiteral("Record, pause or resume, as the Record/Pause button does: the first press asks where "
                       "to save. Starts the recorder if it is not running."));
    const QCommandLineOption stop(QStringLiteral("stop"),
                                  QStringLiteral("Stop recording, as the Stop button does."));
    parser.addOption(record);
    parser.addOption(stop);

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    if (parser.isSet(record) && parser.isSet(stop))
        return usageError(QStringLiteral("give one of --record and --stop"));
    return sendToRecorder(parser.isSet(record) ? QStringLiteral("record") : QStringLiteral("stop"));
}
