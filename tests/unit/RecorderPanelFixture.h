#pragma once

#include "fakes/FakeChoices.h"
#include "fakes/FakeRecorder.h"
#include "fakes/LogCapture.h"
#include "recording/RecordingController.h"
#include "ui/RecorderPanel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

// The recorder panel over its controller, whose recordings each get a FakeRecorder; the save
// dialog answers /tmp/x.caf.
class RecorderPanelFixture : public ::testing::Test {
public:
    using Lines = std::vector<std::string>;
    using State = RecordingController::State;

protected:
    RecorderPanelFixture() { dialog.answer = {platform::SaveDialog::OK, QStringLiteral("/tmp/x.caf")}; }
    void startRecording()
    {
        QCoreApplication::processEvents(); // the last recording's file is saved
        recording.clickRecord();
        log.clear();
    }
    template <typename T> T *outlet(const char *name)
    {
        return panel.findChild<T *>(QString::fromLatin1(name));
    }
    QString timeShown() { return outlet<QLabel>("timeField")->text(); }
    // Asks the controller to quit and runs the event loop until it answers, `patience` at most.
    std::optional<RecordingController::QuitOutcome> quit(int patience = 5000)
    {
        std::optional<RecordingController::QuitOutcome> answer;
        QObject listening;
        QObject::connect(&recording, &RecordingController::readyToQuit, &listening,
                         [&answer](const RecordingController::QuitOutcome &outcome) { answer = outcome; });
        recording.requestQuit();
        (void)QTest::qWaitFor([&] { return answer.has_value(); }, patience);
        return answer;
    }

    FakeSaveDialog dialog;
    TestPreferences preferences;
    FakeRecorder *fake = nullptr;
    RecordingController recording{{dialog, preferences, [] { return nullptr; }, fakeRecorders(fake)}};
    RecorderPanel panel{recording};
    LogCapture log;
};
