#pragma once

#include "platform/PreferenceStore.h"

#include <QSettings>

namespace platform {

// The user's preferences through QSettings (an INI file under ~/.config on Linux, the
// defaults database on macOS, the registry on Windows). A read is answered from what QSettings
// holds in memory, never from the disk or through its lock file; a write reaches the disk when
// control returns to the event loop, and at the latest when the store is destroyed.
class SettingsPreferenceStore : public PreferenceStore {
public:
    SettingsPreferenceStore() = default;
    // The preferences in the INI file `path` instead of the user's own.
    explicit SettingsPreferenceStore(const QString &path);

    std::optional<QVariant> value(const QString &key) const override;
    void setValue(const QString &key, const QVariant &value) override;

private:
    QSettings settings;
};

} // namespace platform
