#include "recording/ElapsedTime.h"

#include <cmath>
#include <cstdio>

namespace {
// Only finite, non-negative times are meaningful; anything else shows as zero.
double sanitized(double seconds)
{
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0.0;
}
} // namespace

int elapsedSecondsField(double seconds)
{
    const double t = sanitized(seconds);
    return static_cast<int>(std::fmod(std::fmod(t, 3600.0), 60.0));
}

QString formatElapsedTime(double seconds)
{
    const double t = sanitized(seconds);
    const auto hours = static_cast<long long>(t / 3600.0);
    const double r = std::fmod(t, 3600.0);
    const int minutes = static_cast<int>(r / 60.0);
    const int secs = static_cast<int>(std::fmod(r, 60.0));
    char text[48];
    std::snprintf(text, sizeof text, "%02lld : %02d : %02d", hours, minutes, secs);
    return QString::fromLatin1(text);
}
