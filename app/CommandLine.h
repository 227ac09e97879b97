#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the executable's arguments ask for. Our options: --record and --stop send what the
// Record/Pause and Stop buttons do to the running recorder, --help and --version print; the
// other arguments are recordings to open in the recorder (a desktop entry's %F). Qt's
// standard options (-platform, -style, -display, -reverse, -qwindowgeometry ...) are accepted
// anywhere beside them: the application object takes them itself when the recorder runs.
struct CommandLine {
    enum class Action {
        RunRecorder, // none of our options: the recorder runs, or opens the running one's panel
                     // (or the running one opens `files`)
        Record,
        Stop,
        Print,      // `text` goes to standard output, exit status 0
        UsageError, // `text` says what is wrong, exit status 2
    };
    Action action = Action::RunRecorder;
    QString text;
    // Qt's options as given, for a recorder that --record starts.
    QStringList qtArguments;
    // The recordings to open, as absolute paths (only with RunRecorder).
    QStringList files;
    // --autostart: the desktop started the recorder as the user logged in (its autostart entry).
    bool atLogin = false;

    // `arguments` starts with the program's name, as QCoreApplication::arguments() does.
    static CommandLine parse(const QStringList &arguments);
    // A platform plugin named on the command line decides itself whether it needs a display.
    bool choosesPlatform() const { return qtArguments.contains(QLatin1String("-platform")); }
};

// The output of a recorder that --record starts is appended to one log: once it holds `limit`
// bytes or more it becomes `path`.1 (in place of the older one) and the next start begins a
// new log.
void rotateLogWhenFull(const QString &path, qint64 limit);

// The file a launch hands to the recorder, from `path` (absolute, as CommandLine gives it): its
// link, if it is one, resolved here, once. Empty, with why in `*why`, when it is no regular file.
QString recordingToOpen(const QString &path, QString *why);

// Carries out what the command line asks for without a display. Returns the exit status when
// it was handled here (a command, the help, a usage error, a file that cannot be opened, or no
// display to run the recorder on), nothing when the recorder itself is to run; argc and argv
// are then as they came, for the application object, and `*recording` is the recording it is
// to open (the first file given; empty when none was), and `*atLogin` whether the desktop started
// it at login.
std::optional<int> runCommandLine(int &argc, char **argv, QString *recording, bool *atLogin);
