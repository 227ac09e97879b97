// The recorder panel's tick while the panel is hidden: nothing of it can be seen then, so its
// timer sleeps instead of waking the process four times a second for the whole recording, and
// it ticks at once when the panel shows again.

#include "fakes/FakeDesktop.h"
#include "fakes/FakeRecorder.h"
#include "fakes/LogCapture.h"
#include "ui/RecorderPanel.h"

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// The panel inside a window of its own, as the popover holds it.
class HiddenPanel : public ::testing::Test {
protected:
    HiddenPanel()
    {
        dialog.answer = {platform::SaveDialog::OK, QStringLiteral("/tmp/x.caf")};
        panel = new RecorderPanel(controller, nullptr, &popover);
        (new QVBoxLayout(&popover))->addWidget(panel);
    }
    // Ticks that ran over `milliseconds` of the event loop (the timer's interval is 250 ms).
    size_t ticksDuring(int milliseconds)
    {
        const size_t before = controller.powerTrace().size();
        QTest::qWait(milliseconds);
        return controller.powerTrace().size() - before;
    }

    QString timeShown() const { return panel->findChild<QLabel *>(QStringLiteral("timeField"))->text(); }

    FakeSaveDialog dialog;
    FakePreferenceStore preferences;
    FakeRecorder *fake = nullptr;
    bool creationFails = false;
    RecordingController controller{
        {dialog, preferences, [] { return std::unique_ptr<platform::AudioInput>(); },
         [this](const QString &, const RecordingSettings &, std::unique_ptr<platform::AudioInput>,
                QString *) -> std::unique_ptr<Recorder> {
             if (creationFails)
                 return nullptr;
             auto made = std::make_unique<FakeRecorder>();
             fake = made.get();
             return made;
         }}};
    QWidget popover;
    RecorderPanel *panel = nullptr;
    LogCapture log;
};

} // namespace

TEST_F(HiddenPanel, ItsTimerSleepsUntilThePanelShowsAgainThenTicksAtOnce)
{
    popover.show();
    controller.clickRecord();
    ASSERT_TRUE(fake && controller.tickTimer());
    EXPECT_TRUE(controller.tickTimer()->isActive());
    EXPECT_GE(ticksDuring(900), 2u);

    popover.hide();
    ASSERT_TRUE(controller.tickTimer()) << "the recording's timer is kept, asleep";
    EXPECT_FALSE(controller.tickTimer()->isActive());
    fake->time = 75.2;
    const QString shownBefore = timeShown();
    EXPECT_EQ(ticksDuring(700), 0u);
    EXPECT_EQ(timeShown(), shownBefore);

    const size_t before = controller.powerTrace().size();
    popover.show();
    EXPECT_EQ(controller.powerTrace().size(), before + 1) << "showing ticks at once";
    EXPECT_EQ(timeShown(), QStringLiteral("00 : 01 : 15"));
    ASSERT_TRUE(controller.tickTimer());
    EXPECT_TRUE(controller.tickTimer()->isActive());
    EXPECT_GE(ticksDuring(900), 2u);
    EXPECT_EQ(fake->calls->back(), "updateMeters");
}

TEST_F(HiddenPanel, PauseStopAndAHiddenStartKeepTheTickContract)
{
    popover.show();
    controller.clickRecord();
    controller.clickRecord(); // pause: the timer ends, and showing does not bring it back
    EXPECT_FALSE(controller.tickTimer());
    popover.hide();
    popover.show();
    EXPECT_FALSE(controller.tickTimer());

    controller.clickRecord(); // resume
    ASSERT_TRUE(controller.tickTimer());
    popover.hide();
    controller.finishBeforeQuit(); // stopped while hidden
    EXPECT_FALSE(controller.tickTimer());
    popover.show();
    EXPECT_FALSE(controller.tickTimer());
    EXPECT_EQ(ticksDuring(300), 0u);

    // A recording started while hidden ticks once, then sleeps until the panel shows.
    popover.hide();
    controller.clickRecord();
    ASSERT_TRUE(controller.tickTimer());
    EXPECT_FALSE(controller.tickTimer()->isActive());
    EXPECT_EQ(controller.powerTrace().size(), 1u);
    EXPECT_EQ(ticksDuring(400), 0u);
    popover.show();
    EXPECT_TRUE(controller.tickTimer()->isActive());
    EXPECT_EQ(controller.powerTrace().size(), 2u);
}

TEST_F(HiddenPanel, AStartWithoutARecorderWhileHiddenLeavesNoTimerWhenThePanelShows)
{
    popover.show();
    popover.hide();
    // No recorder: the immediate tick ends the timer for good.
    creationFails = true;
    controller.clickRecord();
    popover.show();
    EXPECT_FALSE(controller.tickTimer());
}
