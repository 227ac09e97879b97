#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTranslator>

// The recorder's messages, and Qt's own (its dialogs, the command line's help), in the user's
// language, installed on the application for as long as this lives. The language is the first
// of the system's (LANGUAGE, then LC_ALL, LC_MESSAGES, LANG) that is English or has a
// translation; where none has, the recorder speaks English, as it is written.
class Translations {
public:
    // Needs the application object. `languages`: the user's, first choice first, as QLocale
    // names them ("it-IT").
    explicit Translations(const QStringList &languages = QLocale().uiLanguages());
    ~Translations();
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    // The language loaded ("it", "de_CH" ...); empty for English.
    QString language() const { return chosen; }

    // Where the recorder's own translations are, as registratore_LANGUAGE.qm.
    static constexpr const char *folder = ":/i18n";

private:
    QTranslator own;
    QTranslator qt;
    QString chosen;
};
