#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace platform {

// The user's lasting preferences (QSettings on the desktop).
class PreferenceStore {
public:
    virtual ~PreferenceStore() = default;
    // The stored value, or nothing when the key holds none.
    virtual std::optional<QVariant> value(const QString &key) const = 0;
    virtual void setValue(const QString &key, const QVariant &value) = 0;
};

} // namespace platform
