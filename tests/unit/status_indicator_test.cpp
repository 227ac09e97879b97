#include "app/StatusIndicator.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeRecorder.h"
#include "fakes/LogCapture.h"

#include <QTimer>

#include <gtest/gtest.h>

using ButtonType = RecordingController::ButtonType;

TEST(StatusLook, EachStateHasItsImageAndTooltip)
{
    const std::vector<std::pair<std::pair<ButtonType, double>, StatusLook>> table = {
        {{ButtonType::Stop, 0}, {QStringLiteral("micona"), true, QStringLiteral("Registratore")}},
        {{ButtonType::Stop, 12}, {QStringLiteral("micona"), true, QStringLiteral("Registratore")}},
        {{ButtonType::Play, 0.4},
         {QStringLiteral("micona-recording"), false, QStringLiteral("Recording 00 : 00 : 00")}},
        {{ButtonType::Play, 83.9},
         {QStringLiteral("micona-recording"), false, QStringLiteral("Recording 00 : 01 : 23")}},
        {{ButtonType::Pause, 83},
         {QStringLiteral("micona-paused"), true, QStringLiteral("Paused 00 : 01 : 23")}},
        {{ButtonType::Pause, 90061},
         {QStringLiteral("micona-paused"), true, QStringLiteral("Paused 25 : 01 : 01")}},
    };
    for (const auto &[in, look] : table)
        EXPECT_EQ(statusLookFor(in.first, in.second), look) << look.toolTip.toStdString();
}

TEST(StatusIndicator, FollowsARecordingWithAClockOnlyWhileItRuns)
{
    LogCapture log;
    FakeSaveDialog dialog;
    dialog.answer = {platform::SaveDialog::OK, QStringLiteral("/tmp/take.caf")};
    FakePreferenceStore preferences;
    FakeRecorder *fake = nullptr;
    RecordingController controller({dialog, preferences, [] { return nullptr; },
                                    [&fake](const QString &, const RecordingSettings &,
                                            std::unique_ptr<platform::AudioInput>, QString &) {
                                        auto made = std::make_unique<FakeRecorder>();
                                        fake = made.get();
                                        return std::unique_ptr<Recorder>(std::move(made));
                                    }});
    FakeStatusItem item;
    StatusIndicator indicator(controller, item);
    EXPECT_EQ(item.imageChanges, 0); // the launch shows the idle icon already
    EXPECT_EQ(indicator.clock(), nullptr);

    controller.setViewVisible(false); // the panel is closed: the controller's tick sleeps
    controller.clickRecord();
    ASSERT_TRUE(fake && indicator.clock());
    EXPECT_TRUE(indicator.clock()->isActive());
    EXPECT_LE(indicator.clock()->interval(), 1020);
    EXPECT_FALSE(item.image.isMask());
    EXPECT_EQ(item.toolTip, QStringLiteral("Recording 00 : 00 : 00"));
    fake->time = 61.5;
    indicator.refresh();
    EXPECT_EQ(item.toolTip, QStringLiteral("Recording 00 : 01 : 01"));
    EXPECT_EQ(indicator.clock()->interval(), 520); // the next whole second, and a little
    const int changes = item.imageChanges;
    indicator.refresh();
    EXPECT_EQ(item.imageChanges, changes); // the same look is not sent again

    fake->time = 62.2;
    controller.clickRecord();
    EXPECT_EQ(item.toolTip, QStringLiteral("Paused 00 : 01 : 02"));
    EXPECT_TRUE(item.image.isMask());
    EXPECT_EQ(indicator.clock(), nullptr);
    controller.clickRecord();
    EXPECT_NE(indicator.clock(), nullptr);
    controller.stop();
    EXPECT_EQ(item.toolTip, QStringLiteral("Registratore"));
    EXPECT_EQ(item.imageChanges, 4);
    EXPECT_EQ(indicator.clock(), nullptr);
}
