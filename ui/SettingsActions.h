#pragma once

#include <QAction>
#include <QList>
#include <QObject>

class QSettings;

namespace platform {
class MailComposer;
}

// The settings menu's rows as actions, shared by the panel's settings menu and the status icon's
// menu: the quality preset (its text follows the stored preset; triggered, it steps to the next
// one), the contact e-mail, and quit.
class SettingsActions : public QObject {
    Q_OBJECT
public:
    SettingsActions(QSettings &preferences, platform::MailComposer &mail, QObject *parent = nullptr);

    QAction *quality() { return &qualityAction; }
    QAction *contact() { return &contactAction; }
    QAction *quit() { return &quitAction; }
    // In the menu's order: quality, contact, quit.
    QList<QAction *> rows() { return {&qualityAction, &contactAction, &quitAction}; }

    // Whether a stored value the menu never writes (none, or not an integer) is replaced by
    // Medium, as the settings menu does when it opens.
    enum class Missing { Keep, StoreMedium };
    // The quality row's text from the preset stored now.
    void readQuality(Missing missing = Missing::Keep);

private:
    //: Opens an e-mail to the developers.
    static constexpr const char *contactText = QT_TR_NOOP("Contact Us");
    //: Ends the recorder (a recording is completed first).
    static constexpr const char *quitText = QT_TR_NOOP("Quit");

    void stepQuality();
    void contactUs();

    QSettings &preferences;
    platform::MailComposer &mail;
    QAction qualityAction;
    QAction contactAction{tr(contactText)};
    QAction quitAction{tr(quitText)};
};
