#include "app/Translations.h"
#include "fakes/FakeChoices.h"
#include "fakes/FakeDesktop.h"
#include "fakes/LogCapture.h"
#include "platform/TranslatableText.h"
#include "ui/SettingsActions.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QString translated(const char *context, const char *source, int n = -1)
{
    return QCoreApplication::translate(context, source, nullptr, n);
}

QStringList placeholders(const QString &text)
{
    QStringList found;
    for (const QRegularExpressionMatch &match : QRegularExpression(QStringLiteral("%\\d")).globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

} // namespace

// Each shipped language, asked for with a region: embedded, chosen, and translated where the user
// looks first (the panel, the icon's menu, a message with arguments), arguments kept.
class ShippedTranslationTest : public ::testing::TestWithParam<const char *> {};

TEST_P(ShippedTranslationTest, IsEmbeddedChosenAndTranslated)
{
    const QString language = QString::fromLatin1(GetParam());
    EXPECT_TRUE(QFile::exists(QStringLiteral("%1/registratore_%2.qm").arg(Translations::folder, language)));
    const Translations translations({language + QStringLiteral("-XX"), QStringLiteral("en-US")});
    EXPECT_EQ(translations.language(), language + QStringLiteral("_XX"));

    const std::pair<const char *, const char *> messages[] = {
        {"RecorderPanel", "Record"},
        {"StatusMenu", "Open Recorder"},
        {"SettingsActions", "Quit"},
        {"RecentRecordingsMenu", "Recent Recordings"},
        {"QualityPresets", "Quality : Low"},
        {"RecordingController", "Could not start recording: %1"},
        {"Playback", "Could not play “%1”: %2"},
    };
    for (const auto &[context, source] : messages) {
        const QString text = translated(context, source);
        EXPECT_NE(text, QString::fromUtf8(source)) << context << ": " << source;
        EXPECT_EQ(placeholders(text), placeholders(QString::fromUtf8(source))) << context << ": " << source;
    }
    EXPECT_TRUE(translated("SavingMessage", "Saving %n recordings…", 3).contains(QLatin1Char('3')));
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedTranslationTest, ::testing::Values("it", "de", "fr", "es"));

TEST(TranslationsTest, EnglishFirstOrNoTranslationLeavesTheSourcesTexts)
{
    const QStringList lists[] = {{QStringLiteral("en-GB"), QStringLiteral("it-IT")},
                                 {QStringLiteral("C")},
                                 {QStringLiteral("pt-BR"), QStringLiteral("ja")},
                                 {}};
    for (const QStringList &languages : lists) {
        const Translations translations(languages);
        EXPECT_TRUE(translations.language().isEmpty()) << languages.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(translated("SettingsActions", "Quit"), QStringLiteral("Quit"));
    }
    // A later language with a translation is taken when the first has none.
    EXPECT_EQ(Translations({QStringLiteral("pt-BR"), QStringLiteral("de")}).language(), QStringLiteral("de"));
}

// A failure told by the engine: English for the log, the user's language for the screen, each
// argument filled in once (a % in a path is no place of its own), sentences kept in order.
TEST(TranslationsTest, AFailureReasonReadsInEnglishOrTranslatedWithTheSameArguments)
{
    const Translations italian({QStringLiteral("it-IT")});
    const TranslatableText reason =
        TranslatableText("Recording", QT_TRANSLATE_NOOP("Recording", "Cannot write to “%1”: %2."))
            .arg(QStringLiteral("/music/100%2 %1.caf"), QStringLiteral("No space left on device"))
            .followedBy(
                {"Recording", QT_TRANSLATE_NOOP("Recording", "The file could not be completed either: %1.")})
            .followedBy(TranslatableText::verbatim(QStringLiteral("%1")));
    EXPECT_EQ(reason.english(),
              QStringLiteral("Cannot write to “/music/100%2 %1.caf”: No space left on device. The "
                             "file could not be completed either: %1. %1"));
    EXPECT_EQ(
        reason.translated(),
        QStringLiteral("Impossibile scrivere su «/music/100%2 %1.caf»: No space left on device. Non è stato "
                       "possibile nemmeno completare il file: %1. %1"));
    EXPECT_TRUE(TranslatableText().isEmpty());
}

TEST(TranslationsTest, LogLinesStayInTheSourcesWords)
{
    const Translations italian({QStringLiteral("it-IT")});
    TestPreferences preferences;
    FakeMail mail;
    SettingsActions actions(preferences, mail);
    LogCapture log;
    actions.quality()->trigger();
    EXPECT_EQ(actions.quality()->text(), QStringLiteral("Qualità: Media"));
    EXPECT_EQ(actions.quit()->text(), QStringLiteral("Uscire"));
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{R"(arrayMenu : ["Quality : Medium", "Contact Us", "Quit"])"});
}
