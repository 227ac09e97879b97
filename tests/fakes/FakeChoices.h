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

// Answers at once with `answer`, unless `holdOpen`: then the dialog stays up until finish().
class FakeSaveDialog : public platform::SaveDialog {
public:
    void open(const QString &name, const QStringList &types, const QString &folder, QObject *,
              std::function<void(const Result &)> done) override
    {
        proposedName = name;
        shownFolder = folder;
        allowedTypes = types;
        ++runs;
        pending = std::move(done);
        if (whileShown)
            whileShown();
        if (!holdOpen)
            finish(answer);
    }
    // The user answers the dialog that is up.
    void finish(const Result &result)
    {
        if (const auto done = std::exchange(pending, nullptr))
            done(result);
    }
    bool isOpen() const { return pending != nullptr; }

    Result answer{OK, QString()};
    bool holdOpen = false;
    std::function<void()> whileShown;
    QString proposedName;
    QString shownFolder;
    QStringList allowedTypes;
    int runs = 0;

private:
    std::function<void(const Result &)> pending;
};
