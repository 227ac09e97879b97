#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

Translations::Translations(const QStringList &languages)
{
    // The first language the user reads: English is the sources' own, so a later one in the
    // list is never taken over it.
    for (QString language : languages) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        if (language == QLatin1String("C") || language.startsWith(QLatin1String("en")))
            return;
        // registratore_it_IT.qm, else registratore_it.qm.
        if (own.load(QStringLiteral("registratore_") + language, QString::fromLatin1(folder),
                     QStringLiteral("_"))) {
            chosen = language;
            break;
        }
    }
    if (chosen.isEmpty())
        return;
    QCoreApplication::installTranslator(&own);
    // Qt's dialogs and the help's standard options; missing ones stay English.
    if (qt.load(QStringLiteral("qtbase_") + chosen, QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                QStringLiteral("_")))
        QCoreApplication::installTranslator(&qt);
}

Translations::~Translations()
{
    QCoreApplication::removeTranslator(&qt);
    QCoreApplication::removeTranslator(&own);
}
