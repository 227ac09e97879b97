#pragma once

#include "fakes/FakeChoices.h"
#include "fakes/FakeRecorder.h"
#include "fakes/LogCapture.h"
#include "recording/RecordingController.h"
#include "ui/RecorderPanel.h"

#include <QCoreApplication>
#include <QLabel>

#include <gtest/gtest.h>

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

    FakeSaveDialog dialog;
    TestPreferences preferences;
    FakeRecorder *fake = nullptr;
    RecordingController recording{{dialog, preferences, [] { return nullptr; }, fakeRecorders(fake)}};
    RecorderPanel panel{recording};
    LogCapture log;
};
