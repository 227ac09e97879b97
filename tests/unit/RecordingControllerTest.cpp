#include "recording/RecordingController.h"
#include "fakes/FakeChoices.h"
#include "fakes/FakeRecorder.h"
#include "fakes/LogCapture.h"
#include "recording/QualityPreset.h"
#include "recording/RecordingFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <tuple>

using Lines = std::vector<std::string>;
using State = RecordingController::State;

namespace {
// A microphone that only notes whether it is open.
class FakeMicrophone : public platform::AudioInput {
public:
    explicit FakeMicrophone(std::vector<std::string> &journal) : journal(journal) {}
    bool open(int sampleRate, TranslatableText * = nullptr) override
    {
        journal.push_back("open " + std::to_string(sampleRate));
        rate = sampleRate;
        return opened = true;
    }
    bool isOpen() const override { return opened; }
    int sampleRate() const override { return rate; }
    void setSink(platform::AudioSink *) override {}
    void setHeld(bool) override {}
    void drain() override {}
    void close() override
    {
        if (opened)
            journal.push_back("close");
        opened = false;
    }
    std::vector<std::string> &journal;
    bool opened = false;
    int rate = 0;
};

class RecordingControllerTest : public ::testing::Test {
protected:
    RecordingControllerTest()
        : recording({dialog, preferences, [this] { return std::make_unique<FakeMicrophone>(microphone); },
                     [this](const QString &path, SampleRate rate, std::unique_ptr<platform::AudioInput> input,
                            TranslatableText *error) -> std::unique_ptr<Recorder> {
                         madeFor = path;
                         madeWith = rate;
                         inputWasOpen = input && input->isOpen();
                         if (!creationError.isEmpty()) {
                             *error = TranslatableText::verbatim(creationError);
                             return nullptr;
                         }
                         auto made = std::make_unique<FakeRecorder>();
                         fake = made.get();
                         return made;
                     },
                     [] { return QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7)); }})
    {
        dialog.whileShown = [this] { choosingWhileShown = recording.choosingWhereToSave(); };
    }

    std::vector<std::string> microphone;
    FakeSaveDialog dialog;
    TestPreferences preferences;
    QString creationError;
    QString madeFor;
    std::optional<SampleRate> madeWith;
    bool inputWasOpen = false;
    FakeRecorder *fake = nullptr;
    bool choosingWhileShown = false;
    LogCapture log;
    RecordingController recording;
};
} // namespace

TEST_F(RecordingControllerTest, ConfirmedStartsCaptureAndTheTickAndFreesTheGuard)
{
    dialog.answer = {platform::SaveDialog::OK, QStringLiteral("/music/take.caf")};
    recording.clickRecord();
    EXPECT_EQ(log.lines(), (Lines{"parte la registrazione", "createRecorder",
                                  "+++++++++++++++++++++++++++++++++++++++", "è partita la registrazione"}));
    EXPECT_EQ(dialog.proposedName, QStringLiteral("Recording on 06-12-26 090507"));
    EXPECT_EQ(dialog.allowedTypes, QStringList{QStringLiteral("caf")});
    EXPECT_TRUE(choosingWhileShown);
    EXPECT_FALSE(recording.choosingWhereToSave());
    EXPECT_EQ(madeFor, QStringLiteral("/music/take.caf"));
    EXPECT_TRUE(inputWasOpen); // opened before the dialog, so the first words are not lost
    EXPECT_EQ(microphone, Lines{"open 24000"});

    EXPECT_EQ(recording.state(), State::Recording);
    EXPECT_EQ(recording.recordImage(), QStringLiteral("pause"));
    ASSERT_TRUE(fake);
    EXPECT_TRUE(fake->metering);
    EXPECT_EQ(*fake->calls, (Lines{"setMeteringEnabled", "record", "takePeakLevel"}));
    ASSERT_TRUE(recording.tickTimer());
    EXPECT_TRUE(recording.tickTimer()->isActive());
    EXPECT_EQ(recording.tickTimer()->interval(), 250);
    EXPECT_EQ(recording.powerTrace().size(), 1u);
}

TEST_F(RecordingControllerTest, CancelledOrOtherwiseEndedDialogStartsNothingAndClosesTheInput)
{
    for (const auto &[response, line] :
         {std::pair{0, "canceled"}, std::pair{1000, "test"}, std::pair{-1, "test"}}) {
        log.clear();
        microphone.clear();
        dialog.answer = {response, QString()};
        recording.clickRecord();
        EXPECT_EQ(log.lines(), (Lines{"parte la registrazione", "createRecorder", line,
                                      "+++++++++++++++++++++++++++++++++++++++"}))
            << response;
        EXPECT_TRUE(choosingWhileShown);
        EXPECT_FALSE(recording.choosingWhereToSave());
        EXPECT_EQ(recording.state(), State::Ready);
        EXPECT_FALSE(recording.hasRecorder());
        EXPECT_FALSE(recording.tickTimer());
        EXPECT_EQ(recording.recordImage(), QStringLiteral("rec"));
        EXPECT_EQ(microphone, (Lines{"open 24000", "close"}));
        EXPECT_TRUE(madeFor.isEmpty());
    }
}

TEST_F(RecordingControllerTest, FailedCreationIsLoggedShownAndLeavesTheRecordImage)
{
    creationError = QStringLiteral("Cannot create /locked/take.caf: Permission denied");
    QString told;
    QObject::connect(&recording, &RecordingController::messageChanged,
                     [&told](const QString &text) { told = text; });
    recording.clickRecord();
    EXPECT_EQ(log.lines(),
              (Lines{"parte la registrazione", "createRecorder", "Creation of AVAudioRecorder failed",
                     "Cannot create /locked/take.caf: Permission denied",
                     "+++++++++++++++++++++++++++++++++++++++"}));
    EXPECT_EQ(recording.state(), State::Ready);
    EXPECT_EQ(recording.recordImage(), QStringLiteral("rec"));
    EXPECT_FALSE(recording.hasRecorder());
    EXPECT_FALSE(recording.tickTimer());
    EXPECT_FALSE(recording.choosingWhereToSave());
    EXPECT_TRUE(told.contains(QStringLiteral("Permission denied")));
    EXPECT_TRUE(recording.message().contains(QStringLiteral("Permission denied")));

    // The next press opens the dialog again.
    creationError.clear();
    recording.clickRecord();
    EXPECT_EQ(dialog.runs, 2);
    EXPECT_EQ(recording.state(), State::Recording);
}

struct StoredPreset {
    const char *situation;
    std::optional<QVariant> stored;
    SampleRate rate;
};

class StoredPresetTest : public RecordingControllerTest,
                         public ::testing::WithParamInterface<StoredPreset> {};

TEST_P(StoredPresetTest, ThePresetStoredAtConfirmationGivesTheSampleRate)
{
    // Stored while the dialog is up: the value at confirmation counts.
    dialog.whileShown = [this] {
        if (GetParam().stored)
            preferences.setValue(QStringLiteral("qualitaAudio"), *GetParam().stored);
    };
    preferences.setValue(QStringLiteral("qualitaAudio"), 0);
    if (!GetParam().stored)
        preferences.clear();
    recording.clickRecord();
    EXPECT_EQ(madeWith, GetParam().rate);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, StoredPresetTest,
    ::testing::Values(StoredPreset{"Nothing", std::nullopt, SampleRate::Hz24000},
                      StoredPreset{"Low", QVariant(0), SampleRate::Hz12000},
                      StoredPreset{"Medium", QVariant(1), SampleRate::Hz24000},
                      StoredPreset{"High", QVariant(2), SampleRate::Hz48000},
                      StoredPreset{"Seven", QVariant(7), SampleRate::Hz48000},
                      StoredPreset{"MinusOne", QVariant(-1), SampleRate::Hz48000},
                      StoredPreset{"NotANumber", QVariant(QStringLiteral("loud")), SampleRate::Hz24000},
                      StoredPreset{"TwoAsText", QVariant(QStringLiteral("2")), SampleRate::Hz48000},
                      StoredPreset{"OneAndAHalf", QVariant(QStringLiteral("1.5")), SampleRate::Hz24000}),
    [](const auto &info) { return std::string(info.param.situation); });

TEST_F(RecordingControllerTest, TheDialogOpensWhereTheLastRecordingWent)
{
    QTemporaryDir root;
    const QString kept = root.filePath(QStringLiteral("kept")),
                  music = root.filePath(QStringLiteral("Music"));
    QDir(root.path()).mkdir(QStringLiteral("kept"));
    QDir(root.path()).mkdir(QStringLiteral("Music"));
    const QString key = QString::fromLatin1(RecordingFolder::preferenceKey),
                  gone = root.filePath(QStringLiteral("gone"));
    // What is remembered, with Music there or not: where the dialog opens. A file, a relative
    // path or a number is no folder.
    for (const auto &[stored, musicThere, expected] : std::vector<std::tuple<QVariant, bool, QString>>{
             {QVariant(), true, music},
             {kept, false, kept},
             {gone, true, music},
             {gone, false, QStringLiteral("/home")},
             {QCoreApplication::applicationFilePath(), true, music},
             {QStringLiteral("kept"), true, music},
             {QVariant(42), true, music}}) {
        preferences.setValue(key, stored);
        EXPECT_EQ(RecordingFolder::choose(preferences, musicThere ? music : gone, QStringLiteral("/home")),
                  expected)
            << stored.toString().toStdString();
    }

    // Only a recording that started is remembered, and the next dialog opens there.
    preferences.setValue(key, kept);
    creationError = QStringLiteral("No microphone found");
    dialog.answer = {platform::SaveDialog::OK, music + QStringLiteral("/take.caf")};
    recording.clickRecord();
    EXPECT_EQ(dialog.shownFolder, kept);
    EXPECT_EQ(preferences.value(key), QVariant(kept));
    creationError.clear();
    recording.clickRecord();
    recording.stop();
    QCoreApplication::processEvents();
    recording.clickRecord();
    EXPECT_EQ(dialog.shownFolder, music);
    EXPECT_EQ(dialog.proposedName, QStringLiteral("Recording on 06-12-26 090507"));
}
