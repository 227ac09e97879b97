#include "RecorderPanelFixture.h"
#include "fakes/FakeDesktop.h"
#include "ui/StatusIndicator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using SavingRecordingsTest = RecorderPanelFixture;
using State = RecordingController::State;

TEST_F(SavingRecordingsTest, AFileStillBeingSavedIsToldUntilItIsCompleteWhileTheNextRecordingRuns)
{
    FakeStatusItem item;
    StatusIndicator indicator(recording, item);
    startRecording();
    FakeRecorder *slow = fake;
    slow->slowDisk = true;
    slow->toSave = 12.4;
    recording.stop();
    EXPECT_EQ(recording.state(), State::Ready);
    const QString saving = QStringLiteral("Saving… 12 s of audio still to write");
    QTest::qWait(SavingRecordings::graceMilliseconds + 50);
    EXPECT_EQ(panel.message(), saving);
    EXPECT_EQ(item.toolTip, saving);

    // Not into the file still being written; into another one, yes.
    recording.clickRecord();
    EXPECT_EQ(recording.state(), State::Ready);
    EXPECT_TRUE(panel.message().contains(QStringLiteral("“/tmp/x.caf” is still being saved")))
        << panel.message().toStdString();
    dialog.answer.path = QStringLiteral("/tmp/y.caf");
    recording.clickRecord();
    EXPECT_EQ(recording.state(), State::Recording);
    EXPECT_EQ(panel.message(), saving);
    EXPECT_EQ(item.toolTip, QStringLiteral("Recording 00 : 00 : 00\n") + saving);

    slow->finishSaving();
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.message(), QString());
    EXPECT_EQ(item.toolTip, QStringLiteral("Recording 00 : 00 : 00"));
}

TEST_F(SavingRecordingsTest, TheFileStillBeingSavedIsKnownHoweverItsPathReachesIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString real = dir.filePath(QStringLiteral("real"));
    ASSERT_TRUE(QDir().mkdir(real));
    ASSERT_TRUE(QFile::link(real, dir.filePath(QStringLiteral("linked"))));
    const QString saved = real + QStringLiteral("/x.caf");
    ASSERT_TRUE(QFile(saved).open(QIODevice::WriteOnly));
    // Another name for the same file, as another case is on a file system that ignores case.
    ASSERT_EQ(::link(QFile::encodeName(saved).constData(),
                     QFile::encodeName(real + QStringLiteral("/X.caf")).constData()),
              0);
    dialog.answer.path = saved;
    startRecording();
    fake->slowDisk = true;
    recording.stop();
    for (const QString &path :
         {dir.filePath(QStringLiteral("linked/x.caf")), real + QStringLiteral("/X.caf")}) {
        SCOPED_TRACE(path.toStdString());
        dialog.answer.path = path;
        recording.clickRecord();
        EXPECT_EQ(recording.state(), State::Ready);
        EXPECT_TRUE(panel.message().contains(QStringLiteral("is still being saved")))
            << panel.message().toStdString();
    }
}
