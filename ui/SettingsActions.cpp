#include "ui/SettingsActions.h"

#include "platform/Log.h"
#include "platform/MailComposer.h"
#include "recording/QualityPreset.h"
#include "recording/SupportContact.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStringList>

namespace {

// The standard text form of a list of strings: ["a", "b"].
QString listText(const QStringList &entries)
{
    QStringList quoted;
    for (const QString &entry : entries)
        quoted << QLatin1Char('"') + entry + QLatin1Char('"');
    return QLatin1Char('[') + quoted.join(QStringLiteral(", ")) + QLatin1Char(']');
}

} // namespace

SettingsActions::SettingsActions(QSettings &preferences, platform::MailComposer &mail, QObject *parent)
    : QObject(parent), preferences(preferences), mail(mail)
{
    readQuality();
    connect(&qualityAction, &QAction::triggered, this, &SettingsActions::stepQuality);
    connect(&contactAction, &QAction::triggered, this, &SettingsActions::contactUs);
    // The quit goes the application's one way: the recording is completed first.
    connect(&quitAction, &QAction::triggered, qApp, &QCoreApplication::quit);
}

void SettingsActions::readQuality(Missing missing)
{
    const std::optional<int> code = QualityPresets::storedCode(QualityPresets::stored(preferences));
    if (!code && missing == Missing::StoreMedium)
        preferences.setValue(QString::fromLatin1(QualityPresets::preferenceKey),
                             static_cast<int>(QualityPreset::Medium));
    qualityAction.setText(QualityPresets::rowText(QualityPresets::read(preferences)));
}

void SettingsActions::stepQuality()
{
    // Low, Medium, High, Low: nothing stored leads to Medium, a code the menu never writes to Low.
    const std::optional<int> code = QualityPresets::storedCode(QualityPresets::stored(preferences));
    QualityPreset next = QualityPreset::Medium;
    if (code && *code == 1)
        next = QualityPreset::High;
    else if (code && *code != 0)
        next = QualityPreset::Low;
    preferences.setValue(QString::fromLatin1(QualityPresets::preferenceKey), static_cast<int>(next));
    qualityAction.setText(QualityPresets::rowText(next));
    // The rows as written in the sources, whatever the language shown.
    const QStringList texts{QString::fromUtf8(QualityPresets::rowSourceText(next)),
                            QString::fromUtf8(contactText), QString::fromUtf8(quitText)};
    Log::line(QStringLiteral("arrayMenu : ") + listText(texts));
}

void SettingsActions::contactUs()
{
    Log::line("contact us");
    mail.compose(SupportContact::message());
}
