#include "platform/qt/SettingsPreferenceStore.h"

namespace platform {

std::optional<QVariant> SettingsPreferenceStore::value(const QString &key) const
{
    settings.sync();
    if (!settings.contains(key))
        return std::nullopt;
    return settings.value(key);
}

void SettingsPreferenceStore::setValue(const QString &key, const QVariant &value)
{
    settings.setValue(key, value);
    settings.sync();
}

} // namespace platform
