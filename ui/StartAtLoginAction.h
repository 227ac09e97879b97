#pragma once

#include <QAction>

namespace platform {
class LoginStart;
}

// The icon menu's "Start at Login": checked while the desktop starts the recorder at login, which
// is read again at refresh() (another tool may have changed it); choosing it turns that on or
// off. What could not be done is said to the user, and the check then shows what is true.
class StartAtLoginAction : public QAction {
    Q_OBJECT
public:
    // `loginStart` outlives the action.
    explicit StartAtLoginAction(platform::LoginStart &loginStart, QObject *parent = nullptr);

    void refresh();

signals:
    void userMessage(const QString &text);

private:
    void apply(bool enabled);

    platform::LoginStart &loginStart;
};
