#pragma once

// Instrumentation for the benchmark (bench/run.sh), compiled in only when the build is
// configured with -DREGISTRATORE_BENCH=ON; otherwise every function here is empty and the
// product carries none of it.
//
// With REGISTRATORE_BENCH_TRACE=1 in the environment, the moments the benchmark measures are
// written to standard error as
//     bench-trace <seconds on the monotonic clock> <what>
// Standard output, where the log lines go, is never touched. Unset, a mark costs one test of a
// flag read once.

class QObject;

#ifdef REGISTRATORE_BENCH

#include <QObject>
#include <QString>
#include <QTimer>
#include <QtGlobal>

#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace benchtrace {

inline bool enabled()
{
    static const bool on = qEnvironmentVariableIntValue("REGISTRATORE_BENCH_TRACE") == 1;
    return on;
}

// steady_clock is CLOCK_MONOTONIC, the clock of the benchmark's time.monotonic().
inline double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline void mark(const char *what)
{
    if (enabled())
        std::fprintf(stderr, "bench-trace %.6f %s\n", now(), what);
}

// A moment with a count: "<what> <count>".
inline void mark(const char *what, long long count)
{
    if (enabled())
        std::fprintf(stderr, "bench-trace %.6f %s %lld\n", now(), what, count);
}

// With REGISTRATORE_BENCH_UI_WATCH=1 (and the trace on), a 5 ms timer on the UI thread tells
// each time it fired late by more than 10 ms: "ui late <ms>", at the end of the wait. The longest
// such wait is the longest time the UI thread did not answer.
inline void watchUiThread(QObject *context)
{
    if (!enabled() || qEnvironmentVariableIntValue("REGISTRATORE_BENCH_UI_WATCH") != 1)
        return;
    constexpr int interval = 5;
    auto *timer = new QTimer(context);
    timer->setTimerType(Qt::PreciseTimer);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, context, [clock] {
        const qint64 late = clock->restart() - interval;
        if (late > 10)
            mark("ui late", late);
    });
    timer->start(interval);
}

// With REGISTRATORE_BENCH_BLOCK_UI_AT=S (and the trace on), the UI thread is blocked for three
// seconds S seconds after a recording starts, to show that no audio is lost meanwhile.
inline void blockUiLater(QObject *context)
{
    if (!enabled())
        return;
    const double seconds = qEnvironmentVariable("REGISTRATORE_BENCH_BLOCK_UI_AT").toDouble();
    if (!(seconds > 0))
        return;
    // A day at most: the milliseconds stay well inside an int.
    const int milliseconds = static_cast<int>(std::min(seconds, 86400.0) * 1000);
    QTimer::singleShot(milliseconds, context, [] {
        mark("ui blocked");
        std::this_thread::sleep_for(std::chrono::seconds(3));
        mark("ui unblocked");
    });
}

} // namespace benchtrace

#else

namespace benchtrace {

inline void mark(const char *) {}
inline void mark(const char *, long long) {}
inline void watchUiThread(QObject *) {}
inline void blockUiLater(QObject *) {}

} // namespace benchtrace

#endif
