#include "recording/QualityPreset.h"

#include <QCoreApplication>
#include <QSettings>
#include <QString>
#include <QVariant>

namespace QualityPresets {

std::optional<int> storedCode(const std::optional<QVariant> &stored)
{
    if (!stored || !stored->isValid())
        return std::nullopt;
    bool ok = false;
    const int code = stored->toString().trimmed().toInt(&ok);
    return ok ? std::optional<int>(code) : std::nullopt;
}

QualityPreset fromStored(const std::optional<QVariant> &stored)
{
    const std::optional<int> code = storedCode(stored);
    if (!code)
        return QualityPreset::Medium;
    switch (*code) {
    case 0:
        return QualityPreset::Low;
    case 1:
        return QualityPreset::Medium;
    default:
        return QualityPreset::High;
    }
}

std::optional<QVariant> stored(const QSettings &preferences)
{
    const QString key = QString::fromLatin1(preferenceKey);
    return preferences.contains(key) ? std::optional<QVariant>(preferences.value(key)) : std::nullopt;
}

QualityPreset read(const QSettings &preferences)
{
    return fromStored(stored(preferences));
}

const char *rowSourceText(QualityPreset preset)
{
    //: The settings menu's row that steps through the presets: the setting, a colon, its value.
    switch (preset) {
    case QualityPreset::Low:
        return QT_TRANSLATE_NOOP("QualityPresets", "Quality : Low");
    case QualityPreset::High:
        return QT_TRANSLATE_NOOP("QualityPresets", "Quality : High");
    case QualityPreset::Medium:
        break;
    }
    return QT_TRANSLATE_NOOP("QualityPresets", "Quality : Medium");
}

QString rowText(QualityPreset preset)
{
    return QCoreApplication::translate("QualityPresets", rowSourceText(preset));
}

} // namespace QualityPresets

SampleRate sampleRateFor(QualityPreset preset)
{
    switch (preset) {
    case QualityPreset::Low:
        return SampleRate::Hz12000;
    case QualityPreset::High:
        return SampleRate::Hz48000;
    case QualityPreset::Medium:
        break;
    }
    return SampleRate::Hz24000;
}
