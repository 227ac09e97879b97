#include "ui/StatusMenu.h"
#include "app/RecorderCommands.h"
#include "fakes/FakeChoices.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeRecorder.h"
#include "fakes/LogCapture.h"
#include "platform/LoginStart.h"
#include "recording/RecordingController.h"
#include "ui/SettingsActions.h"
#include "ui/StartAtLoginAction.h"
#include "ui/StatusIndicator.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>

using Lines = std::vector<std::string>;

namespace {
QAction *entry(QMenu *menu, const char *text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == QLatin1String(text))
            return action;
    }
    ADD_FAILURE() << "no entry " << text;
    return nullptr;
}

bool logged(const LogCapture &log, const std::string &line)
{
    const Lines lines = log.lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}
} // namespace

// The status icon's menu over the controller with a fake recorder, through a whole recording:
// each entry reads what its button would do now, and does it with the button's lines.
TEST(StatusMenuTest, EntriesFollowTheRecordingAndDoWhatTheirButtonsAndRowsDo)
{
    LogCapture log;
    FakeSaveDialog dialog;
    TestPreferences preferences;
    FakeMail mail;
    SettingsActions settings(preferences, mail);
    QSignalSpy quits(settings.quit(), &QAction::triggered);
    FakeRecorder *recorder = nullptr;
    RecordingController controller({dialog, preferences, [] { return nullptr; }, fakeRecorders(recorder)});
    RecorderCommands commands(controller);
    int panelsOpened = 0;
    StatusMenu status(controller, settings,
                      {[&] { commands.answer(QStringLiteral("record")); },
                       [&] { commands.answer(QStringLiteral("stop")); }, [&] { ++panelsOpened; }});
    FakeStatusItem item;
    StatusIndicator indicator(controller, item);
    indicator.showStateIn(status.stateEntry());
    QMenu *menu = status.menu();

    EXPECT_EQ(status.stateEntry()->text(), QStringLiteral("Registratore"));
    EXPECT_FALSE(status.stateEntry()->isEnabled());
    EXPECT_FALSE(entry(menu, "Stop")->isEnabled());
    EXPECT_TRUE(entry(menu, "Quality : Medium"));

    dialog.answer = {platform::SaveDialog::OK, QStringLiteral("/music/take.caf")};
    bool recordWhileChoosing = true;
    dialog.whileShown = [&] {
        emit menu->aboutToShow();
        recordWhileChoosing = entry(menu, "Record")->isEnabled();
    };
    entry(menu, "Record")->trigger();
    EXPECT_EQ(dialog.runs, 1);
    EXPECT_FALSE(recordWhileChoosing);
    const Lines lines = log.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 2), (Lines{"parte la registrazione", "createRecorder"}));
    EXPECT_TRUE(logged(log, "è partita la registrazione"));
    // The state entry reads what the tooltip reads.
    EXPECT_TRUE(status.stateEntry()->text().startsWith(QStringLiteral("Recording ")));
    EXPECT_EQ(status.stateEntry()->text(), item.toolTip);

    entry(menu, "Pause")->trigger();
    EXPECT_TRUE(logged(log, "pausa registrazione"));
    EXPECT_TRUE(status.stateEntry()->text().startsWith(QStringLiteral("Paused ")));
    entry(menu, "Resume")->trigger();
    EXPECT_TRUE(logged(log, "riavvio registrazione"));
    entry(menu, "Stop")->trigger();
    EXPECT_TRUE(logged(log, "stoppo la registrazione"));
    EXPECT_EQ(controller.state(), RecordingController::State::Ready);
    EXPECT_FALSE(entry(menu, "Stop")->isEnabled());
    EXPECT_EQ(status.stateEntry()->text(), QStringLiteral("Registratore"));

    // The settings rows are the settings menu's own actions.
    log.clear();
    emit menu->aboutToShow();
    entry(menu, "Quality : Medium")->trigger();
    EXPECT_EQ(preferences.value(QStringLiteral("qualitaAudio")), QVariant(2));
    EXPECT_EQ(log.lines(), Lines{R"(arrayMenu : ["Quality : High", "Contact Us", "Quit"])"});
    EXPECT_TRUE(entry(menu, "Quality : High"));
    entry(menu, "Contact Us")->trigger();
    EXPECT_EQ(mail.sent.size(), 1u);
    log.clear();
    entry(menu, "Open Recorder")->trigger();
    EXPECT_EQ(panelsOpened, 1);
    EXPECT_EQ(log.lines(), Lines{"RiapriApp"});
    entry(menu, "Quit")->trigger();
    EXPECT_EQ(quits.count(), 1);
    EXPECT_FALSE(controller.choosingWhereToSave());
}

namespace {
// Start at login that another tool may change, and that can be made to fail.
struct FakeLoginStart : platform::LoginStart {
    bool isEnabled() const override { return enabled; }
    bool setEnabled(bool on, QString *error) override
    {
        if (!failure.isEmpty()) {
            *error = failure;
            return false;
        }
        enabled = on;
        return true;
    }
    bool enabled = false;
    QString failure;
};
} // namespace

// Start at Login sits just above Quit, after a separator; its check is what is true on the
// desktop, read again as the menu shows, and a failure is told.
TEST(StatusMenuTest, StartAtLoginIsCheckedAsTheDesktopHasItAndTellsWhatFails)
{
    FakeSaveDialog dialog;
    TestPreferences preferences;
    FakeMail mail;
    SettingsActions settings(preferences, mail);
    RecordingController controller({dialog, preferences, [] { return nullptr; }, noRecorders()});
    FakeLoginStart login;
    StartAtLoginAction startAtLogin(login);
    StatusMenu status(controller, settings, {[] {}, [] {}, [] {}, nullptr, &startAtLogin});
    QObject::connect(status.menu(), &QMenu::aboutToShow, &startAtLogin, &StartAtLoginAction::refresh);
    QStringList told;
    QObject::connect(&startAtLogin, &StartAtLoginAction::userMessage,
                     [&told](const QString &text) { told << text; });

    const QList<QAction *> entries = status.menu()->actions();
    ASSERT_GE(entries.size(), 3);
    EXPECT_TRUE(entries.at(entries.size() - 3)->isSeparator());
    EXPECT_EQ(entries.at(entries.size() - 2), &startAtLogin);
    EXPECT_EQ(entries.last(), settings.quit());
    EXPECT_TRUE(startAtLogin.isCheckable());
    EXPECT_FALSE(startAtLogin.isChecked());

    startAtLogin.trigger();
    EXPECT_TRUE(login.enabled && startAtLogin.isChecked());
    login.enabled = false; // another tool removed it
    emit status.menu()->aboutToShow();
    EXPECT_FALSE(startAtLogin.isChecked());

    login.failure = QStringLiteral("“/x” is a link");
    LogCapture log;
    startAtLogin.trigger();
    EXPECT_FALSE(login.enabled || startAtLogin.isChecked());
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(login.failure));
    EXPECT_TRUE(log.lines().empty()) << "standard output is not where it goes";
}
