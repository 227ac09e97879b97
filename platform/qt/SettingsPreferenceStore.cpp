#include "platform/qt/SettingsPreferenceStore.h"

namespace platform {

SettingsPreferenceStore::SettingsPreferenceStore(const QString &path) : settings(path, QSettings::IniFormat)
{
}

std::optional<QVariant> SettingsPreferenceStore::value(const QString &key) const
{
    if (!settings.contains(key))
        return std::nullopt;
    return settings.value(key);
}

void SettingsPreferenceStore::setValue(const QString &key, const QVariant &value)
{
    // QSettings writes it from the event loop (or on destruction), taking its lock file there.
    settings.setValue(key, value);
}

} // namespace platform
