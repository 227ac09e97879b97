#include "app/Launcher.h"

#include "app/CommandLine.h"
#include "app/QuitRequests.h"
#include "app/RecorderCommands.h"
#include "app/Translations.h"
#include "engine/AudioRecorder.h"
#include "platform/AudioPlayer.h"
#include "platform/DisplayLossGuard.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/LoginStart.h"
#include "platform/Notifications.h"
#include "platform/OutsideClickMonitor.h"
#include "platform/SingleInstance.h"
#include "platform/StatusBar.h"
#include "platform/TerminationSignals.h"
#include "platform/WindowSystem.h"
#include "platform/qt/DesktopMailComposer.h"
#include "platform/qt/QtSaveDialog.h"
#include "platform/statusitem/PopoverWindow.h"
#include "recording/Playback.h"
#include "recording/RecentRecordings.h"
#include "ui/LastRecordingRow.h"
#include "ui/RecentRecordingsMenu.h"
#include "ui/RecorderPanel.h"
#include "ui/RecordingActions.h"
#include "ui/SaveNotices.h"
#include "ui/SettingsActions.h"
#include "ui/SettingsMenu.h"
#include "ui/StartAtLoginAction.h"
#include "ui/StatusBarShell.h"
#include "ui/StatusIndicator.h"
#include "ui/StatusMenu.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTimer>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include <cstdio>
#include <cstdlib>

namespace {

// A tray host often starts together with the session: give it a moment to appear. A quit
// asked meanwhile ends the wait.
bool waitForStatusBar(int milliseconds)
{
    QElapsedTimer waited;
    waited.start();
    while (!platform::statusBarShowing() && waited.elapsed() < milliseconds &&
           !platform::terminationRequested()) {
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // Asked only now: Qt settles on StatusNotifierItem or not at its first look. Qt 6.8 takes a
    // StatusNotifierWatcher without a host for a status bar: no icon would show, so a host (or
    // an XEmbed tray) must be there too.
    const bool qtFindsOne = QSystemTrayIcon::isSystemTrayAvailable();
    return qtFindsOne && platform::statusBarShowing();
}

std::unique_ptr<Recorder> makeAudioRecorder(const QString &path, SampleRate rate,
                                            std::unique_ptr<platform::AudioInput> input,
                                            TranslatableText *error)
{
    return AudioRecorder::create(path, rate, std::move(input), error);
}

// Ends the application as the controller's answer to a quit allows: at once when everything is
// saved; with exit status 1, told on stderr and in a notification, when a file could not be
// completed (a hidden panel has sent its message as a notification already; an open one is
// about to go away with the process); at once with status 1 when the user gave up what was left.
// Why files could not be completed, one sentence after another: in English for the log, or in
// the user's language.
QString joined(const QList<TranslatableText> &failures, bool translated)
{
    QStringList texts;
    for (const TranslatableText &failure : failures)
        texts << (translated ? failure.translated() : failure.english());
    return texts.join(QLatin1Char(' '));
}

void endApplication(const RecordingController::QuitOutcome &outcome, const QWidget *panel,
                    platform::StatusItem &tray)
{
    if (outcome.abandonedSeconds) {
        qCWarning(lcRegistratore, "quit before the recording was saved: %.1f s of audio lost.",
                  *outcome.abandonedSeconds);
        // A writer still waiting for the disk would hold the exit, and its audio is given up.
        std::fflush(nullptr);
        std::_Exit(1);
    }
    if (outcome.failures.isEmpty()) {
        QCoreApplication::exit(0);
        return;
    }
    Log::diagnostic(QStringLiteral("the recording could not be completed: ") +
                    joined(outcome.failures, false));
    if (panel && panel->isVisible())
        tray.showMessage(QStringLiteral("Registratore"),
                         QCoreApplication::translate("Launcher", "The recording could not be completed: %1")
                             .arg(joined(outcome.failures, true)));
    // The notification leaves through the event loop.
    QTimer::singleShot(300, qApp, [] { QCoreApplication::exit(1); });
}

} // namespace

int runRecorderApplication(int &argc, char **argv)
{
    QString recording;
    bool atLogin = false;
    if (const std::optional<int> handled = runCommandLine(argc, argv, &recording, &atLogin))
        return *handled;
    platform::preferPlaceableWindows(argc, argv);
    // Takes Qt's own options (-platform, -style ...) from the command line.
    QApplication application(argc, argv);
    // Before any widget, and before the first message.
    const Translations translations;
    platform::windowSystemChosen();
    QApplication::setOrganizationName(QStringLiteral("registratore"));
    QApplication::setApplicationName(QStringLiteral("registratore"));
    QApplication::setApplicationDisplayName(QStringLiteral("Registratore"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.registratore.Registratore"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Nor when the last QEventLoopLocker goes: KDE's file dialog runs KIO jobs, which hold one
    // each, and with no window of ours shown, Qt 6.8 would quit the recorder as the dialog opens.
    QCoreApplication::setQuitLockEnabled(false);
    platform::quitOnTerminationSignals();

    platform::SingleInstance instance(QStringLiteral("org.registratore.Registratore"));
    // A launch at the same moment as another may lose the race for becoming the running one:
    // it hands over then too.
    const auto handOver = [&instance, &recording] {
        return recording.isEmpty() ? instance.handOverToRunning() : instance.handOverFile(recording);
    };
    if (handOver() || (!instance.listen() && handOver())) {
        if (recording.isEmpty())
            Log::diagnostic(QStringLiteral("already running; its recorder panel has been opened."));
        else
            Log::diagnostic(QStringLiteral("already running; it has been asked to open ") + recording);
        return 0;
    }

    // A file handed over while the recorder starts is opened once it is up, in place of the
    // one this launch was given.
    const QMetaObject::Connection whileStarting =
        QObject::connect(&instance, &platform::SingleInstance::openRequested,
                         [&recording](const QString &path) { recording = path; });

    // At login the status bar may come long after the recorder (a slow session, a panel started
    // later): the wait ends as soon as it shows.
    const bool statusBar = waitForStatusBar(atLogin ? 30000 : 3000);
    if (platform::terminationRequested())
        return 0;
    std::unique_ptr<platform::StatusItem> statusItem = platform::makeStatusItem(statusBar);
    platform::StatusItem *tray = statusItem.get();
    auto popover = std::make_unique<platform::PopoverWindow>(!statusBar);
    platform::PopoverWindow *popoverWindow = popover.get();
    auto outsideClicks = platform::makeOutsideClickMonitor([tray] { return tray->geometry(); });
    // The user's preferences: read from memory, written to disk from the event loop.
    QSettings preferences;
    platform::QtSaveDialog saveDialog(popoverWindow);
    platform::DesktopMailComposer mail;

    // The recording, which the panel, the status icon, its menu and the shortcuts' commands all
    // act on and show.
    RecordingController controller(
        {saveDialog, preferences, platform::makeSystemAudioInput, makeAudioRecorder});
    StatusBarShell shell(std::move(statusItem), std::move(popover), std::move(outsideClicks), controller);
    // The settings menu's rows, shared by the panel's settings menu and the status icon's menu.
    SettingsActions settingsActions(preferences, mail);
    const auto makeSettingsMenu = [&settingsActions] { return new SettingsMenu(settingsActions); };
    auto *panel = new RecorderPanel(controller, makeSettingsMenu);

    // The saved recordings: told as they are saved, listed, played and shown in their folder.
    RecentRecordings recent(preferences);
    Playback playback(platform::makeSystemAudioPlayer(), controller);
    const std::unique_ptr<platform::FileManager> fileManager = platform::makeSystemFileManager();
    RecordingActions recordingActions(playback, *fileManager, recent);
    const std::unique_ptr<platform::Notifications> notifications = platform::makeSystemNotifications(*tray);
    // The open panel shows what happened itself; a notification would only cover it.
    SaveNotices notices(controller, recent, *notifications, [panel] { return panel->isVisible(); });
    QObject::connect(panel, &RecorderPanel::userMessage, &notices, &SaveNotices::tellFailure);
    QObject::connect(&recordingActions, &RecordingActions::userMessage, panel, &RecorderPanel::tell);
    QObject::connect(notifications.get(), &platform::Notifications::showInFolderChosen, &recordingActions,
                     &RecordingActions::showInFolder);
    QObject::connect(notifications.get(), &platform::Notifications::playChosen, &recordingActions,
                     &RecordingActions::play);
    panel->addLastRecordingRow(new LastRecordingRow(recordingActions));
    RecentRecordingsMenu recentMenu(recordingActions);
    std::unique_ptr<StatusIndicator> indicator;
    if (statusBar)
        indicator = std::make_unique<StatusIndicator>(controller, *tray);
    // The toolkit ends the process at once when the display goes away: the recording is
    // completed on the way out all the same, and said so on stderr.
    platform::DisplayLossGuard displayLoss([&controller] {
        if (!controller.busy())
            return;
        controller.requestQuit(RecordingController::Quit::DisplayGone);
    });
#if QT_CONFIG(sessionmanager)
    // The session is ending (logout): the application quits once the recording is saved,
    // without keeping the desktop waiting for the disk.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &controller,
                     [&controller](QSessionManager &) { controller.requestQuit(); });
#endif

    QObject::connect(&instance, &platform::SingleInstance::reopenRequested, &shell,
                     &StatusBarShell::showRecorder);
    QObject::connect(panel, &RecorderPanel::closeRequested, &shell, &StatusBarShell::closeRecorder);
    // A recording to open: the one this launch was given, and those later launches hand over
    // (absolute paths of regular files, SingleInstance has seen to that). It plays, and the panel
    // shows it.
    const auto openRecording = [&shell, &recordingActions](const QString &path) {
        Log::diagnostic(QStringLiteral("opening ") + path);
        recordingActions.play(path);
        shell.showRecorder();
    };
    QObject::disconnect(whileStarting);
    QObject::connect(&instance, &platform::SingleInstance::openRequested, &shell, openRecording);
    if (statusBar) {
        // Started at login, the recorder waits in the status bar: the user asked for no panel.
        shell.launchInStatusBar(panel,
                                atLogin ? StatusBarShell::Opening::Closed : StatusBarShell::Opening::Open);
    } else {
        Log::diagnostic(
            QStringLiteral("no status bar (system tray) was found on this desktop, so the recorder "
                           "opens in an ordinary window instead."));
        QApplication::setQuitOnLastWindowClosed(true);
        shell.launchInWindow(panel);
    }
    // Once the launch has opened the recorder (its coarse timer may fire up to 5 % late): a
    // popover opened before would be closed by it.
    if (!recording.isEmpty())
        QTimer::singleShot(StatusBarShell::launchDelay + std::chrono::milliseconds(250), Qt::PreciseTimer,
                           &shell, [&openRecording, &recording] { openRecording(recording); });
    // Every quit goes to the controller, which answers once the files allow it; while it waits
    // for them, the recorder shows what is left.
    QuitRequests quitRequests(controller);
    application.installEventFilter(&quitRequests);
    QObject::connect(&controller, &RecordingController::quitWaitStarted, &shell,
                     &StatusBarShell::showRecorder);
    QObject::connect(
        &controller, &RecordingController::readyToQuit, &application,
        [panel, tray](const RecordingController::QuitOutcome &outcome) {
            // Inside Qt's message handler, which is about to end the process.
            if (outcome.how == RecordingController::Quit::DisplayGone) {
                if (outcome.failures.isEmpty())
                    Log::diagnosticNow(QStringLiteral("the display went away; the recording was completed."));
                else
                    Log::diagnosticNow(
                        QStringLiteral("the display went away; the recording could not be completed: ") +
                        joined(outcome.failures, false));
                return;
            }
            endApplication(outcome, panel, *tray);
        });
    // The desktop's keyboard shortcuts, sent by later launches.
    RecorderCommands commands(controller);
    instance.setCommandHandler([&commands](const QString &action) { return commands.answer(action); });
    // Start at Login, where the desktop has a way to: read again as the menu shows, and a failure
    // told as the recordings' are.
    const std::unique_ptr<platform::LoginStart> loginStart = platform::makeSystemLoginStart();
    std::unique_ptr<StartAtLoginAction> startAtLogin;
    if (loginStart) {
        startAtLogin = std::make_unique<StartAtLoginAction>(*loginStart);
        QObject::connect(startAtLogin.get(), &StartAtLoginAction::userMessage, panel, &RecorderPanel::tell);
    }
    StatusMenu statusMenu(controller, settingsActions,
                          {[&commands] { commands.answer(QStringLiteral("record")); },
                           [&commands] { commands.answer(QStringLiteral("stop")); },
                           [&shell] { shell.showRecorder(); }, &recentMenu, startAtLogin.get()});
    if (startAtLogin)
        QObject::connect(statusMenu.menu(), &QMenu::aboutToShow, startAtLogin.get(),
                         &StartAtLoginAction::refresh);
    if (indicator) {
        indicator->showStateIn(statusMenu.stateEntry());
        tray->setMenu(statusMenu.menu());
    }
    // A quit asked before the event loop runs would be dropped by it.
    if (platform::terminationRequested())
        return 0;
    return application.exec();
}
