#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the executable's arguments ask for. Our options: --record and --stop send what the
// Record/Pause and Stop buttons do to the running recorder, --help and --version print. Qt's
// standard options (-platform, -style, -display, -reverse, -qwindowgeometry ...) are accepted
// anywhere beside them: the application object takes them itself when the recorder runs.
struct CommandLine {
    enum class Action {
        RunRecorder, // none of our options: the recorder runs, or opens the running one's panel
        Record,
        Stop,
        Print,      // `text` goes to standard output, exit status 0
        UsageError, // `text` says what is wrong, exit status 2
    };
    Action action = Action::RunRecorder;
    QString text;
    // Qt's options as given, for a recorder that --record starts.
    QStringList qtArguments;

    // `arguments` starts with the program's name, as QCoreApplication::arguments() does.
    static CommandLine parse(const QStringList &arguments);
    // A platform plugin named on the command line decides itself whether it needs a display.
    bool choosesPlatform() const { return qtArguments.contains(QLatin1String("-platform")); }
};

// The output of a recorder that --record starts is appended to one log: once it holds `limit`
// bytes or more it becomes `path`.1 (in place of the older one) and the next start begins a
// new log.
void rotateLogWhenFull(const QString &path, qint64 limit);

// Carries out what the command line asks for without a display. Returns the exit status when
// it was handled here (a command, the help, a usage error, or no display to run the recorder
// on), nothing when the recorder itself is to run; argc and argv are then as they came, for
// the application object.
std::optional<int> runCommandLine(int &argc, char **argv);
