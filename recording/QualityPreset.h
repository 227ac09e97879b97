#pragma once

#include "engine/SampleRate.h"

#include <optional>

class QSettings;
class QString;
class QVariant;

// The recording quality the user picks in the settings menu.
enum class QualityPreset { Low = 0, Medium = 1, High = 2 };

namespace QualityPresets {

inline constexpr const char *preferenceKey = "qualitaAudio";

// How the recorder reads a stored value: nothing or a value that is not an integer is
// Medium; an integer other than 0, 1 and 2 is High, as the settings menu shows it.
QualityPreset fromStored(const std::optional<QVariant> &stored);

// The stored integer, if the value is one.
std::optional<int> storedCode(const std::optional<QVariant> &stored);

// The stored value, or nothing when none is stored.
std::optional<QVariant> stored(const QSettings &preferences);

// Read afresh from the preferences at every call.
QualityPreset read(const QSettings &preferences);

// The settings menu's row for the preset, as written in the sources (log lines show it so).
const char *rowSourceText(QualityPreset preset);
// The same row in the user's language.
QString rowText(QualityPreset preset);

} // namespace QualityPresets

SampleRate sampleRateFor(QualityPreset preset);
