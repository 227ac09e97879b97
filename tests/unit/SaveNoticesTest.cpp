#include "ui/SaveNotices.h"
#include "RecorderPanelFixture.h"
#include "recording/RecentRecordings.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class FakeNotifications : public platform::Notifications {
public:
    void show(const Notice &notice) override { shown.push_back(notice); }
    std::vector<Notice> shown;
};

// A recording into a real folder, told by notices while the panel is closed (or open).
class SaveNoticesTest : public RecorderPanelFixture {
protected:
    SaveNoticesTest()
    {
        dialog.answer.path = folder.filePath(QStringLiteral("Kitchen idea.caf"));
        connect(&panel, &RecorderPanel::userMessage, &notices, &SaveNotices::tellFailure);
    }
    void connect(RecorderPanel *from, void (RecorderPanel::*signal)(const QString &), SaveNotices *to,
                 void (SaveNotices::*slot)(const QString &))
    {
        QObject::connect(from, signal, to, slot);
    }
    // Records 83 s into a file that is on disk.
    void record()
    {
        startRecording();
        // On a busy machine the recorder may be made after the click has returned.
        ASSERT_TRUE(QTest::qWaitFor([this] { return recording.state() == State::Recording; }));
        QFile(dialog.answer.path).open(QIODevice::WriteOnly);
        fake->time = 83.4;
    }
    std::vector<std::pair<QString, QString>> told() const
    {
        std::vector<std::pair<QString, QString>> texts;
        for (const auto &notice : notifications.shown)
            texts.emplace_back(notice.body, notice.file);
        return texts;
    }

    QTemporaryDir folder;
    FakeNotifications notifications;
    RecentRecordings recent{preferences};
    bool panelShown = false;
    SaveNotices notices{recording, recent, notifications, [this] { return panelShown; }};
};

using Told = std::vector<std::pair<QString, QString>>;

} // namespace

TEST_F(SaveNoticesTest, ASavedRecordingIsToldWithItsNameLengthAndFileOnlyWhileThePanelIsClosed)
{
    const QString path = dialog.answer.path;
    record();
    recording.stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(told(), (Told{{QStringLiteral("Kitchen idea.caf — 00 : 01 : 23"), path}}));
    EXPECT_EQ(notifications.shown.at(0).title, QStringLiteral("Recording saved"));
    EXPECT_EQ(recent.files(), QStringList{path});

    panelShown = true;
    notifications.shown.clear();
    record();
    recording.stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(told(), Told{});
    EXPECT_EQ(recent.files(), QStringList{path});
}

TEST_F(SaveNoticesTest, SavingOnASlowDiskIsToldOnceThenTheSavedRecordingTakesItsPlace)
{
    record();
    fake->slowDisk = true;
    fake->toSave = 12.4;
    FakeRecorder *slow = fake;
    recording.stop();
    QTest::qWait(SavingRecordings::graceMilliseconds + SavingRecordings::refreshMilliseconds + 100);
    // Opened meanwhile: the notice of the saving is still replaced.
    panelShown = true;
    slow->finishSaving();
    QCoreApplication::processEvents();
    EXPECT_EQ(told(), (Told{{QStringLiteral("Saving… 12 s of audio still to write"), QString()},
                            {QStringLiteral("Kitchen idea.caf — 00 : 01 : 23"), dialog.answer.path}}));
}

TEST_F(SaveNoticesTest, ARecordingThatEndedByItselfIsToldAndThenOfferedWithItsFile)
{
    record();
    fake->fail(QStringLiteral("No space left on device"));
    // The file is offered once it is saved, which a busy machine may take a while to say.
    EXPECT_TRUE(QTest::qWaitFor([this] { return notifications.shown.size() >= 2; }));
    const QString text = QStringLiteral(
        "The recording stopped: No space left on device Everything recorded until then is saved.");
    EXPECT_EQ(told(), (Told{{text, QString()}, {text, dialog.answer.path}}));
    EXPECT_TRUE(notifications.shown.back().warning);
    EXPECT_EQ(recent.files(), QStringList{dialog.answer.path});
}
