#pragma once

// Timestamps for the benchmark (bench/run.sh): with REGISTRATORE_BENCH_TRACE=1 in the
// environment, the moments it measures are written to standard error as
//     bench-trace <seconds on the monotonic clock> <what>
// Standard output, where the log lines go, is never touched. Unset, a mark costs one test of a
// flag read once.

#include <QString>
#include <QtGlobal>

#include <chrono>
#include <cstdio>

namespace benchtrace {

inline bool enabled()
{
    static const bool on = qEnvironmentVariableIntValue("REGISTRATORE_BENCH_TRACE") == 1;
    return on;
}

inline void mark(const char *what)
{
    if (!enabled())
        return;
    // steady_clock is CLOCK_MONOTONIC, the clock of the benchmark's time.monotonic().
    const double now =
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    std::fprintf(stderr, "bench-trace %.6f %s\n", now, what);
}

// With REGISTRATORE_BENCH_BLOCK_UI_AT=S (and the trace on), the recorder panel blocks the UI
// thread for three seconds S seconds after a recording starts, to show that no audio is lost
// meanwhile. 0: not set.
inline double blockUiAfterSeconds()
{
    if (!enabled())
        return 0;
    static const double seconds = qEnvironmentVariable("REGISTRATORE_BENCH_BLOCK_UI_AT").toDouble();
    return seconds > 0 ? seconds : 0;
}

} // namespace benchtrace
