#pragma once

#include "platform/LoginStart.h"

#include <QByteArray>
#include <QString>

namespace platform {

// Start at login on freedesktop desktops (GNOME, KDE Plasma, Xfce, LXQt ...): a desktop entry of
// the recorder's in the user's autostart folder, $XDG_CONFIG_HOME/autostart, which the session
// starts at login. The folder is the user's to share with any program: the entry is written
// whole or not at all, and a link, a FIFO or a folder found at its name is neither followed nor
// replaced nor removed.
class AutostartEntry : public LoginStart {
public:
    // The argument the entry starts the recorder with, so that it knows it was started at login.
    static constexpr const char *loginArgument = "--autostart";

    // `folder`: the autostart folder (by default the user's); `program`: what the entry starts
    // (by default program()).
    explicit AutostartEntry(QString folder = defaultFolder(), QString program = AutostartEntry::program());

    bool isEnabled() const override;
    bool setEnabled(bool enabled, QString *error = nullptr) override;
    QString path() const;

    static QString defaultFolder();
    // The installed recorder by its name, when the one found on PATH is this one: that stays right
    // as the package is upgraded. Any other, a build's folder for one, by its absolute path.
    static QString program();
    // The entry's text for `program`.
    static QByteArray contents(const QString &program);
    // `argument` as one argument of an Exec line, quoted where the desktop entry rules ask.
    static QString execArgument(const QString &argument);

private:
    bool write(QString *error) const;
    bool remove(QString *error) const;

    QString folder;
    QString executable;
};

} // namespace platform
