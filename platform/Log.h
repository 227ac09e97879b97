#pragma once

#include <QLoggingCategory>

#include <ostream>
#include <string_view>

class QString;

// Diagnostics on standard error: qCWarning(lcRegistratore) and qCInfo(lcRegistratore). With Qt's
// default message pattern each line starts with "registratore: ".
Q_DECLARE_LOGGING_CATEGORY(lcRegistratore)

// The application's log: one line per call on standard output, flushed at once. Names and
// texts the application did not make (file names, device descriptions, errors) may hold
// control characters: each line shows them escaped (`\n`, `\x1b`), so that no text can end a
// line early, forge another or drive the terminal. Text without them is written as it is.
namespace Log {

void line(std::string_view text);
void line(const QString &text);
inline void line(const char *text)
{
    line(std::string_view(text));
}

// A warning of lcRegistratore (standard error, after "registratore: "), escaped as the log's
// lines are.
void diagnostic(const QString &text);
// The same line written straight to standard error: for where Qt's logging cannot be used
// (inside Qt's message handler, as the display goes away).
void diagnosticNow(const QString &text);

// `text` with its control characters (C0, DEL, C1) escaped, as the log writes it.
QString escaped(const QString &text);

// Redirects the log (tests); nullptr restores standard output. Not thread-safe against
// concurrent writers: set it before the code under test runs.
void redirect(std::ostream *stream);

} // namespace Log
