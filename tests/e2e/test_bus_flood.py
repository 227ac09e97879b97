"""Any client of the session bus can call the recorder's status item, its menu and its
single-instance service. A flood of such calls leaves the recorder answering its keyboard
shortcuts' commands at once."""

import subprocess
import sys
import time

from harness import STARTUP, app_binary

# Another program on the bus: for `seconds`, a million ids in GetGroupProperties and
# AboutToShowGroup a few times a second, and between them small calls as fast as it can send
# them (AboutToShow, hovered events, Activate far off the screen, Reopen), none waiting for an
# answer. Prints how many calls it sent.
FLOOD = r"""
import sys, time
from gi.repository import Gio, GLib

service, seconds = sys.argv[1], float(sys.argv[2])
bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
MENU = ("/MenuBar", "com.canonical.dbusmenu")
ITEM = ("/StatusNotifierItem", "org.kde.StatusNotifierItem")
INSTANCE = ("/org/registratore/Instance", "org.registratore.Instance")

def send(target, method, body=None):
    message = Gio.DBusMessage.new_method_call(service, target[0], target[1], method)
    if body is not None:
        message.set_body(body)
    message.set_flags(Gio.DBusMessageFlags.NO_REPLY_EXPECTED)
    bus.send_message(message, Gio.DBusSendMessageFlags.NONE)

million = [0] * 1000000
properties = GLib.Variant("(aias)", (million, []))
showing = GLib.Variant("(ai)", (million,))
small = [(MENU, "AboutToShow", GLib.Variant("(i)", (0,))),
         (MENU, "Event", GLib.Variant("(isvu)", (1, "hovered", GLib.Variant("i", 0), 0))),
         (ITEM, "Activate", GLib.Variant("(ii)", (-2**31, -2**31))),
         (ITEM, "Activate", GLib.Variant("(ii)", (2**31 - 1, 2**31 - 1))),
         (INSTANCE, "Reopen", None)]
sent, end = 0, time.monotonic() + seconds
while time.monotonic() < end:
    send(MENU, "GetGroupProperties", properties)
    send(MENU, "AboutToShowGroup", showing)
    sent += 2
    burst_end = time.monotonic() + 0.2
    while time.monotonic() < burst_end:
        for target, method, body in small:
            send(target, method, body)
        sent += len(small)
bus.flush_sync(None)
print(sent)
"""


def stop_command(app):
    """Runs `registratore --stop` beside the app; returns (seconds it took, status, stdout)."""
    t = time.monotonic()
    done = subprocess.run([app_binary(), "--stop"], env=app.env, stdin=subprocess.DEVNULL, capture_output=True,
                          text=True, timeout=30)
    return time.monotonic() - t, done.returncode, done.stdout.strip()


def test_a_flood_of_calls_leaves_the_shortcut_commands_answering(ui, watcher, sni):
    keys = watcher().registered
    app = ui.launch()
    item = sni.wait_item(app.pid, timeout=10, keys=keys)
    app.wait_lines(STARTUP, timeout=10)
    before, _, _ = stop_command(app)

    flood = subprocess.Popen([sys.executable, "-E", "-c", FLOOD, item.service, "6"], env=app.env,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    ui.at_end(flood.kill)
    time.sleep(1.5)
    answers = [stop_command(app) for _ in range(3)]
    out, err = flood.communicate(timeout=60)
    # What the flood left queued on the app's main connection is still being read.
    answers.append(stop_command(app))
    print(f"\n  --stop answered in {before:.3f} s before the flood, "
          f"{', '.join(f'{s:.3f}' for s, _, _ in answers[:-1])} s during it ({out.strip() or err.strip()} calls "
          f"sent in 6 s), {answers[-1][0]:.3f} s after it")

    assert app.running(), app.report()
    for seconds, status, said in answers:
        assert (status, said) == (1, "nothing is recording") and seconds < 5.0, app.report()
    # Nothing the flood sent was a click: no recording, no quit.
    assert flood.returncode == 0, err
    assert "parte la registrazione" not in app.lines(), app.report()
