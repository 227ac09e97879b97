#pragma once

#include "platform/SaveDialog.h"

#include <QSettings>
#include <QTemporaryDir>

#include <functional>

// What the user chooses: the preferences and the save dialog's answer. No widgets, so that the
// engine's tests can drive the recording controller with them.

namespace detail {
struct PreferencesFolder {
    QTemporaryDir folder;
};
} // namespace detail

// The preferences in a file of the test's own, as QSettings keeps the user's.
class TestPreferences : private detail::PreferencesFolder, public QSettings {
public:
    TestPreferences() : QSettings(folder.filePath(QStringLiteral("registratore.conf")), QSettings::IniFormat)
    {
    }
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
