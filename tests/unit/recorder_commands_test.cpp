#include "app/CommandLine.h"
#include "app/RecorderCommands.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeRecorder.h"
#include "fakes/LogCapture.h"
#include "recording/RecordingController.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <gtest/gtest.h>

using Outcome = platform::SingleInstance::Answer::Outcome;

// The shortcut commands, one after another, against the controller with a fake recorder: each
// answers with the state it left, or why it was refused.
TEST(RecorderCommandsTest, EachCommandAnswersWithTheStateItLeftOrWhyItWasRefused)
{
    LogCapture log;
    FakeSaveDialog dialog;
    FakePreferenceStore preferences;
    FakeRecorder *fake = nullptr;
    RecordingController controller({dialog, preferences, [] { return nullptr; },
                                    [&fake](const QString &, const RecordingSettings &,
                                            std::unique_ptr<platform::AudioInput>, QString *) {
                                        auto made = std::make_unique<FakeRecorder>();
                                        fake = made.get();
                                        return std::unique_ptr<Recorder>(std::move(made));
                                    }});
    RecorderCommands commands(controller);
    dialog.answer = {platform::SaveDialog::OK, QStringLiteral("/music/take.caf")};
    bool refusedWhileShown = false;
    dialog.whileShown = [&] {
        refusedWhileShown = commands.answer(QStringLiteral("record")).outcome == Outcome::Refused;
    };

    const auto expect = [&](const char *action, Outcome outcome, const char *text) {
        const platform::SingleInstance::Answer answer = commands.answer(QString::fromLatin1(action));
        EXPECT_EQ(answer.outcome, outcome) << action;
        EXPECT_EQ(answer.text, QString::fromUtf8(text)) << action;
    };
    expect("stop", Outcome::Refused, "nothing is recording");
    expect("record", Outcome::Done, "choosing where to save");
    // Answered before the dialog opens: a second press is refused until the user has chosen.
    expect("record", Outcome::Refused, "the save dialog is already open: choose where to save, or cancel it");
    expect("stop", Outcome::Refused, "nothing is recording yet: the save dialog is open");
    EXPECT_EQ(dialog.runs, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.runs, 1);
    EXPECT_TRUE(refusedWhileShown);
    expect("record", Outcome::Done, "paused");
    expect("record", Outcome::Done, "recording");
    expect("rewind", Outcome::Refused, "unknown command \"rewind\"");
    ASSERT_TRUE(fake);
    // The file is completed in the background: the panel tells a failure to complete it.
    fake->completionFailure = QStringLiteral("No space left on device");
    expect("stop", Outcome::Done, "stopped");
    EXPECT_EQ(controller.state(), RecordingController::State::Ready);
    QCoreApplication::processEvents();
    EXPECT_TRUE(controller.message().contains(QStringLiteral("No space left on device")));
    EXPECT_FALSE(controller.choosingWhereToSave());
}

// What the command line asks for, with Qt's own options anywhere beside ours: they are let
// through, never read as -p -l -a ..., and a recorder that --record starts gets them too.
TEST(CommandLineTest, QtOptionsBesideOursAreLetThrough)
{
    using Action = CommandLine::Action;
    struct Case {
        QStringList arguments;
        Action action;
        QStringList qtArguments;
    };
    const QString xcb = QStringLiteral("xcb");
    const Case cases[] = {
        {{}, Action::RunRecorder, {}},
        {{"-platform", "offscreen"}, Action::RunRecorder, {"-platform", "offscreen"}},
        {{"--platform", "xcb", "--record"}, Action::Record, {"-platform", "xcb"}},
        {{"--stop", "-style=fusion", "-reverse"}, Action::Stop, {"-reverse", "-style", "fusion"}},
        {{"-display", ":1", "-qwindowgeometry", "200x100+0+0"},
         Action::RunRecorder,
         {"-qwindowgeometry", "200x100+0+0", "-display", ":1"}},
        {{"-reverse", "--version"}, Action::Print, {}},
        {{"--record", "--stop"}, Action::UsageError, {}},
        {{"-platform"}, Action::UsageError, {}},
        {{"-p"}, Action::UsageError, {}},
        {{"take.caf"}, Action::UsageError, {}},
    };
    for (const Case &c : cases) {
        const CommandLine line =
            CommandLine::parse(QStringList{QStringLiteral("registratore")} + c.arguments);
        EXPECT_EQ(line.action, c.action)
            << qPrintable(c.arguments.join(' ')) << ": " << qPrintable(line.text);
        EXPECT_EQ(line.qtArguments, c.qtArguments) << qPrintable(c.arguments.join(' '));
    }
}

TEST(CommandLineTest, HelpListsOurOptionsAndTheExitStatusesAndVersionLeadsWithTheVersion)
{
    const auto print = [](const char *option) {
        const CommandLine line =
            CommandLine::parse({QStringLiteral("registratore"), QString::fromLatin1(option)});
        EXPECT_EQ(line.action, CommandLine::Action::Print) << option;
        return line.text;
    };
    const QString help = print("--help");
    for (const char *part : {"--record", "--stop", "--version", "Exit status:\n  0  ", "\n  1  ", "\n  2  "})
        EXPECT_TRUE(help.contains(QLatin1String(part))) << part;
    EXPECT_FALSE(help.contains(QLatin1String("--platform <")));
    EXPECT_TRUE(print("--help-all").contains(QLatin1String("--platform <")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^registratore [0-9]+\\.[0-9]+\\.[0-9]+\\n"))
                    .match(print("--version"))
                    .hasMatch());
}
