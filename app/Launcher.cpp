#include "app/Launcher.h"

#include "app/CommandLine.h"
#include "app/QuitGuard.h"
#include "app/RecorderCommands.h"
#include "engine/AudioRecorder.h"
#include "platform/DisplayLossGuard.h"
#include "platform/Log.h"
#include "platform/OutsideClickMonitor.h"
#include "platform/SingleInstance.h"
#include "platform/StatusBar.h"
#include "platform/TerminationSignals.h"
#include "platform/WindowSystem.h"
#include "platform/qt/DesktopMailComposer.h"
#include "platform/qt/QtApplication.h"
#include "platform/qt/QtSaveDialog.h"
#include "platform/qt/SettingsPreferenceStore.h"
#include "platform/statusitem/PopoverWindow.h"
#include "ui/RecorderPanel.h"
#include "ui/SettingsMenu.h"
#include "ui/StatusBarShell.h"
#include "ui/StatusIndicator.h"
#include "ui/StatusMenu.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
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
    // Asked only now: Qt settles on StatusNotifierItem or not at its first look.
    return QSystemTrayIcon::isSystemTrayAvailable();
}

std::unique_ptr<Recorder> makeAudioRecorder(const QString &path, const RecordingSettings &settings,
                                            std::unique_ptr<platform::AudioInput> input, QString *error)
{
    return AudioRecorder::create(path, settings, std::move(input), error);
}

// Told on stderr, and in a notification where the desktop shows one. A hidden panel has sent
// its message as a notification already; an open one is about to go away with the process.
void tellNotCompleted(const QString &failure, const QWidget *panel, platform::StatusItem &tray)
{
    Log::diagnostic(QStringLiteral("the recording could not be completed: ") + failure);
    if (panel && panel->isVisible()) {
        tray.showMessage(QStringLiteral("Registratore"),
                         QStringLiteral("The recording could not be completed: ") + failure);
    }
}

// The recording of a process whose display went away: completed with the recorders alone,
// without the panel's widgets, and said so on stderr.
void finishAfterDisplayLoss(RecordingController &controller)
{
    if (!controller.busy())
        return;
    QString failure;
    if (controller.completeFilesNow(&failure))
        std::fputs("registratore: the display went away; the recording was completed.\n", stderr);
    else
        Log::diagnostic(QStringLiteral("the display went away; the recording could not be completed: ") +
                        failure);
}

} // namespace

int runRecorderApplication(int &argc, char **argv)
{
    if (const std::optional<int> handled = runCommandLine(argc, argv))
        return *handled;
    platform::preferPlaceableWindows(argc, argv);
    // Takes Qt's own options (-platform, -style ...) from the command line.
    QApplication application(argc, argv);
    platform::windowSystemChosen();
    QApplication::setOrganizationName(QStringLiteral("registratore"));
    QApplication::setApplicationName(QStringLiteral("registratore"));
    QApplication::setApplicationDisplayName(QStringLiteral("Registratore"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.registratore.Registratore"));
    QApplication::setQuitOnLastWindowClosed(false);
    platform::quitOnTerminationSignals();

    platform::SingleInstance instance(QStringLiteral("org.registratore.Registratore"));
    // A launch at the same moment as another may lose the race for becoming the running one:
    // it hands over then too.
    if (instance.handOverToRunning() || (!instance.listen() && instance.handOverToRunning())) {
        std::fputs("registratore: already running; its recorder panel has been opened.\n", stderr);
        return 0;
    }

    const bool statusBar = waitForStatusBar(3000);
    if (platform::terminationRequested())
        return 0;
    std::unique_ptr<platform::StatusItem> statusItem = platform::makeStatusItem(statusBar);
    platform::StatusItem *tray = statusItem.get();
    auto popover = std::make_unique<platform::PopoverWindow>(!statusBar);
    platform::PopoverWindow *popoverWindow = popover.get();
    auto outsideClicks = platform::makeOutsideClickMonitor([tray] { return tray->geometry(); });
    platform::SettingsPreferenceStore preferences;
    platform::QtSaveDialog saveDialog(popoverWindow);
    platform::DesktopMailComposer mail;
    platform::QtApplication quit;

    // The recording, which the panel, the status icon, its menu and the shortcuts' commands all
    // act on and show.
    RecordingController controller(
        {saveDialog, preferences, platform::makeSystemAudioInput, makeAudioRecorder});
    StatusBarShell shell(std::move(statusItem), std::move(popover), std::move(outsideClicks), controller);
    const auto makeSettingsMenu = [&] { return new SettingsMenu(preferences, mail, quit); };
    auto *panel = new RecorderPanel(controller, makeSettingsMenu);
    // The open panel shows the message itself; a notification would only cover it.
    QObject::connect(panel, &RecorderPanel::userMessage, tray, [tray, panel](const QString &text) {
        if (!panel->isVisible())
            tray->showMessage(QStringLiteral("Registratore"), text);
    });
    std::unique_ptr<StatusIndicator> indicator;
    if (statusBar)
        indicator = std::make_unique<StatusIndicator>(controller, *tray);
    // The toolkit ends the process at once when the display goes away: the recording is
    // completed on the way out all the same.
    platform::DisplayLossGuard displayLoss([&controller] { finishAfterDisplayLoss(controller); });
#if QT_CONFIG(sessionmanager)
    // The session is ending (logout): the recording ends and its file is saved, without keeping
    // the desktop waiting for the disk. The quit that follows waits for the file (QuitGuard).
    QObject::connect(&application, &QGuiApplication::commitDataRequest, [&controller](QSessionManager &) {
        if (controller.state() != RecordingController::State::Ready)
            controller.stop();
    });
#endif

    QObject::connect(&instance, &platform::SingleInstance::reopenRequested, &shell,
                     &StatusBarShell::showRecorder);
    if (statusBar) {
        shell.launchInStatusBar(panel);
    } else {
        std::fputs("registratore: no status bar (system tray) was found on this desktop, so the recorder "
                   "opens in an ordinary window instead.\n",
                   stderr);
        QApplication::setQuitOnLastWindowClosed(true);
        shell.launchInWindow(panel);
    }
    // A quit while a file is being written waits for it, showing what is left.
    QuitGuard quitGuard(controller, [&shell] { shell.showRecorder(); });
    application.installEventFilter(&quitGuard);
    // The desktop's keyboard shortcuts, sent by later launches.
    RecorderCommands commands(controller);
    instance.setCommandHandler([&commands](const QString &action) { return commands.answer(action); });
    StatusMenu statusMenu(controller, preferences, makeSettingsMenu,
                          {[&commands] { commands.answer(QStringLiteral("record")); },
                           [&commands] { commands.answer(QStringLiteral("stop")); },
                           [&shell] { shell.showRecorder(); }});
    if (indicator) {
        indicator->showStateIn(statusMenu.stateEntry());
        tray->setMenu(statusMenu.menu());
    }
    // A quit asked before the event loop runs would be dropped by it.
    if (platform::terminationRequested())
        return 0;
    int status = application.exec();

    if (const std::optional<double> lost = quitGuard.abandonedSeconds()) {
        std::fprintf(stderr, "registratore: quit before the recording was saved: %.1f s of audio lost.\n",
                     *lost);
        // A writer still waiting for the disk would hold the exit, and its audio is given up.
        std::fflush(nullptr);
        std::_Exit(1);
    }
    // However the application was asked to end, the recording is completed before it does,
    // and a completion that failed makes the exit status.
    QStringList failures = quitGuard.failures();
    if (QString failure; !controller.finishBeforeQuit(&failure))
        failures << failure;
    if (!failures.isEmpty()) {
        tellNotCompleted(failures.join(QLatin1Char(' ')), panel, *tray);
        // The notification leaves through the event loop.
        QEventLoop settle;
        QTimer::singleShot(300, &settle, &QEventLoop::quit);
        settle.exec();
        if (status == 0)
            status = 1;
    }
    return status;
}
