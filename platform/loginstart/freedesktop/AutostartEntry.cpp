#include "platform/loginstart/freedesktop/AutostartEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

const QString fileName = QStringLiteral("org.registratore.Registratore.desktop");
// An entry of ours is a few hundred bytes: what is longer is read only this far.
constexpr qsizetype longestEntry = 64 * 1024;

// Why nothing of ours may be written or removed at `path`: what is there is not a regular file.
// Empty when nothing is there, or a regular file.
QString occupied(const QString &path)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return {};
    if (S_ISLNK(status.st_mode))
        return QCoreApplication::translate(
                   "AutostartEntry",
                   "“%1” is a link, which the recorder does not follow: remove it, then try again.")
            .arg(path);
    return QCoreApplication::translate("AutostartEntry",
                                       "“%1” is not a regular file: remove it, then try again.")
        .arg(path);
}

// A string value as a desktop entry writes it.
QString escapedValue(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    value.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    value.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return value;
}

// The entry's text, read without following a link or waiting on a FIFO; empty when it is no
// regular file.
QByteArray readEntry(const QString &path)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray text;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        QFile file;
        if (file.open(fd, QIODevice::ReadOnly))
            text = file.read(longestEntry);
        // Whatever it holds, the file is there: the session runs it.
        if (text.isEmpty())
            text = "\n";
    }
    ::close(fd);
    return text;
}

} // namespace

AutostartEntry::AutostartEntry(QString folder, QString program)
    : folder(std::move(folder)), executable(std::move(program))
{
}

QString AutostartEntry::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString AutostartEntry::path() const
{
    return QDir(folder).filePath(fileName);
}

QString AutostartEntry::program()
{
    const QString running = QCoreApplication::applicationFilePath();
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("registratore"));
    if (!onPath.isEmpty() && QFileInfo(onPath).canonicalFilePath() == QFileInfo(running).canonicalFilePath())
        return QStringLiteral("registratore");
    return running;
}

QString AutostartEntry::execArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool quote = argument.isEmpty() || std::any_of(argument.begin(), argument.end(),
                                                         [](QChar c) { return reserved.contains(c); });
    QString quoted;
    for (const QChar c : argument) {
        // Inside double quotes, these four are taken literally only after a backslash.
        if (quote && (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                      c == QLatin1Char('\\')))
            quoted += QLatin1Char('\\');
        // A percent sign would begin a field code.
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    return quote ? QLatin1Char('"') + quoted + QLatin1Char('"') : quoted;
}

QByteArray AutostartEntry::contents(const QString &program)
{
    const QString exec = execArgument(program) + QLatin1Char(' ') + QLatin1String(loginArgument);
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Registratore\n"
                                  "Comment=Record voice notes from the status bar\n");
    text += QStringLiteral("Exec=") + escapedValue(exec) + QLatin1Char('\n');
    // A build's folder deleted since: the session passes over the entry.
    text += QStringLiteral("TryExec=") + escapedValue(program) + QLatin1Char('\n');
    text += QStringLiteral("Icon=org.registratore.Registratore\n"
                           "Terminal=false\n"
                           "X-GNOME-Autostart-enabled=true\n"
                           // After the status bar, whose shell starts with the session.
                           "X-GNOME-Autostart-Delay=5\n"
                           "X-KDE-autostart-after=panel\n");
    return text.toUtf8();
}

bool AutostartEntry::isEnabled() const
{
    const QByteArray text = readEntry(path());
    if (text.isEmpty())
        return false;
    // Turned off in place, as desktops' startup settings do, is off.
    bool inMainGroup = false;
    for (const QByteArray &raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('['))
            inMainGroup = line == "[Desktop Entry]";
        else if (inMainGroup && (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false"))
            return false;
    }
    return true;
}

bool AutostartEntry::setEnabled(bool enabled, QString *error)
{
    return enabled ? write(error) : remove(error);
}

bool AutostartEntry::write(QString *error) const
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!QDir().mkpath(folder)) {
        if (QFileInfo(folder).exists())
            return fail(QCoreApplication::translate("AutostartEntry", "“%1” is not a folder.").arg(folder));
        return fail(
            QCoreApplication::translate("AutostartEntry", "The folder “%1” cannot be created.").arg(folder));
    }
    const QString entry = path();
    if (QString why = occupied(entry); !why.isEmpty())
        return fail(why);
    QSaveFile file(entry);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QCoreApplication::translate("AutostartEntry", "“%1” cannot be written: %2")
                        .arg(entry, file.errorString()));
    // QSaveFile writes through a link it finds as it opens: one planted since the look above
    // is refused all the same.
    if (QString why = occupied(entry); !why.isEmpty()) {
        file.cancelWriting();
        return fail(why);
    }
    file.write(contents(executable));
    if (!file.commit())
        return fail(QCoreApplication::translate("AutostartEntry", "“%1” cannot be written: %2")
                        .arg(entry, file.errorString()));
    return true;
}

bool AutostartEntry::remove(QString *error) const
{
    const QString entry = path();
    struct stat status {};
    if (::lstat(QFile::encodeName(entry).constData(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR))
        return true;
    QString why = occupied(entry);
    QFile file(entry);
    if (why.isEmpty() && !file.remove())
        why = QCoreApplication::translate("AutostartEntry", "“%1” cannot be removed: %2")
                  .arg(entry, file.errorString());
    if (!why.isEmpty() && error)
        *error = why;
    return why.isEmpty();
}

} // namespace platform
