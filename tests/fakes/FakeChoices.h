#pragma once

#include "platform/PreferenceStore.h"
#include "platform/SaveDialog.h"

#include <functional>
#include <map>
#include <optional>

// What the user chooses, behind platform/: the preferences and the save dialog's answer. No
// widgets, so that the engine's tests can drive the recording controller with them.

class FakePreferenceStore : public platform::PreferenceStore {
public:
    std::optional<QVariant> value(const QString &key) const override
    {
        const auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional<QVariant>(found->second);
    }
    void setValue(const QString &key, const QVariant &value) override { values[key] = value; }
    std::map<QString, QVariant> values;
};

class FakeSaveDialog : public platform::SaveDialog {
public:
    Result runModal(const QString &name, const QStringList &types, const QString &folder) override
    {
        proposedName = name;
        shownFolder = folder;
        allowedTypes = types;
        ++runs;
        if (whileShown)
            whileShown();
        return answer;
    }
    Result answer{OK, QString()};
    std::function<void()> whileShown;
    QString proposedName;
    QString shownFolder;
    QStringList allowedTypes;
    int runs = 0;
};
