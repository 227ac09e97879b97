#pragma once

#include <QString>

// "HH : MM : SS" of whole elapsed seconds; hours do not wrap at 24.
QString formatElapsedTime(double seconds);

// The seconds field of that text, 0 to 59.
int elapsedSecondsField(double seconds);
