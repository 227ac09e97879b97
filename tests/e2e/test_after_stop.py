"""After Stop with the panel closed, on xfce4-panel: the desktop's notification service
(python3-dbusmock's notification_daemon) is told the saved recording, with its buttons; its
Show in Folder asks the file manager (org.freedesktop.FileManager1, mocked) to select the file;
the icon's menu lists the recording, and its Play plays it through the sound server."""

import subprocess
import time

import dbus
import dbusmock
import pytest

from harness import CLOSE, STARTUP, app_binary, run, wait_for
from sound import MicTap, decode, tone_wav

pytestmark = pytest.mark.usefixtures("no_trayer")
NOTIFICATIONS = "org.freedesktop.Notifications"
FILE_MANAGER = "org.freedesktop.FileManager1"


class DesktopServices:
    """The notification service and the file manager, as python3-dbusmock plays them."""

    def __init__(self, logs):
        with open(logs / "dbusmock.log", "ab") as log:
            self.procs = [dbusmock.DBusTestCase.spawn_server_template(
                "notification_daemon", {"capabilities": "body body-markup actions"}, stdout=log)[0],
                dbusmock.DBusTestCase.spawn_server(FILE_MANAGER, "/org/freedesktop/FileManager1", FILE_MANAGER,
                                                   stdout=log)]
        bus = dbusmock.DBusTestCase.get_dbus()
        self.notifications = dbus.Interface(bus.get_object(NOTIFICATIONS, "/org/freedesktop/Notifications"),
                                            dbusmock.MOCK_IFACE)
        self.files = dbus.Interface(bus.get_object(FILE_MANAGER, "/org/freedesktop/FileManager1"),
                                    dbusmock.MOCK_IFACE)
        self.files.AddMethod(FILE_MANAGER, "ShowItems", "ass", "", "")

    def notified(self):
        """The Notify calls' arguments so far, oldest first."""
        return [args for _, method, args in self.notifications.GetCalls() if method == "Notify"]

    def press(self, notification_id, action):
        self.notifications.EmitSignal(NOTIFICATIONS, "ActionInvoked", "us", [notification_id, action])

    def shown_items(self):
        return [[str(uri) for uri in args[0]] for _, method, args in self.files.GetCalls() if method == "ShowItems"]

    def stop(self):
        for proc in self.procs:
            proc.terminate()
            proc.wait(5)


def app_sink_inputs(pid):
    """The sound server's playback streams of process pid."""
    listing = run(["pactl", "list", "sink-inputs"], timeout=10).stdout.split("Sink Input #")
    return [block for block in listing if f'application.process.id = "{pid}"' in block]


def test_a_recording_stopped_with_the_panel_closed_is_told_shown_listed_and_played(ui, sni, status_bar):
    status_bar()
    services = ui.start(DesktopServices(ui.artefacts))
    app = ui.launch()
    item = sni.wait_item(app.pid, timeout=5)
    app.wait_lines(STARTUP, timeout=10)
    ui.wait_popover(app)
    path = ui.new_folder() / "Kitchen idea.caf"
    ui.record_tone(app, path, tone_wav(ui.artefacts / "tone.wav", 1.5, 660))
    time.sleep(2.5)
    # The panel closed, then Stop from a keyboard shortcut.
    x, y = ui.x.pointer()
    ui.toggle(app, CLOSE, lambda: sni.item_call(item, "Activate", x, y), quiet=0)
    assert subprocess.run([app_binary(), "--stop"], env=app.env, capture_output=True, timeout=20).returncode == 0

    notices = wait_for(lambda: services.notified(), 10, "a notification")
    time.sleep(0.5)
    assert len(services.notified()) == 1, services.notified()
    notice = notices[0]
    name, _, _, summary, body, actions, hints, _ = notice
    assert (str(name), str(summary)) == ("Registratore", "Recording saved"), notice
    assert str(body).startswith("Kitchen idea.caf — 00 : 00 : 0"), notice
    assert [str(a) for a in actions] == ["show-in-folder", "Show in Folder", "play", "Play"], notice
    assert str(hints["desktop-entry"]) == "org.registratore.Registratore", notice

    services.press(1, "show-in-folder")
    assert wait_for(services.shown_items, 5, "ShowItems") == [[path.as_uri()]]

    menu = sni.properties(item)["Menu"]
    recent = sni.menu_tree(item, menu)["Recent Recordings"][1]
    assert list(recent) == ["Kitchen idea.caf"], recent
    entries = recent["Kitchen idea.caf"][1]
    assert list(entries) == ["Play", "Show in Folder", "Move to Trash"], entries

    speakers = MicTap(source="speakers.monitor")
    sni.menu_click(item, menu, entries["Play"][0])
    wait_for(lambda: app_sink_inputs(app.pid), 5, "the app's playback stream")
    recorded = decode(path)
    time.sleep(recorded.seconds + 1.0)
    speakers.stop()
    heard = speakers.sound()
    # The tone as recorded, heard again as long (within a window of the analysis, and the
    # playback's start and end).
    played, runs = recorded.tone_runs(660), heard.tone_runs(660)
    assert len(played) == 1 and len(runs) == 1 and abs(runs[0] - played[0]) <= 0.1, (played, runs)
    assert not app_sink_inputs(app.pid), "the playback stream stays after the end of the file"
