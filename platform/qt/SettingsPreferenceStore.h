#pragma once

#include "platform/PreferenceStore.h"

#include <QSettings>

namespace platform {

// The user's preferences through QSettings (an INI file under ~/.config on Linux, the
// defaults database on macOS, the registry on Windows).
class SettingsPreferenceStore : public PreferenceStore {
public:
    std::optional<QVariant> value(const QString &key) const override;
    void setValue(const QString &key, const QVariant &value) override;

private:
    mutable QSettings settings;
};

} // namespace platform
