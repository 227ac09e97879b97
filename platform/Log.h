#pragma once

#include <ostream>
#include <string_view>

class QString;

// The application's log: one line per call on standard output, flushed at once.
namespace Log {

void line(std::string_view text);
void line(const QString &text);
inline void line(const char *text)
{
    line(std::string_view(text));
}

// Redirects the log (tests); nullptr restores standard output. Not thread-safe against
// concurrent writers: set it before the code under test runs.
void redirect(std::ostream *stream);

} // namespace Log
