"""The executable's --record and --stop, as the desktop's keyboard shortcuts run them, drive the
running recorder and answer in one line."""

import os
import signal
import subprocess
import time

from harness import CLOSE, PAUSED, RECORD_PRESSED, RECORDING_STARTED, RESUMED, SAVE_DIALOG_TITLE, SECONDS_PREFIX, \
    STOPPED, app_binary, wait_for

MEDIUM_RATE = 24000


def command(app, *args):
    """Runs the executable with args beside the running app; returns (status, stdout lines)."""
    t = time.monotonic()
    done = subprocess.run([app_binary(), *args], env=app.env, stdin=subprocess.DEVNULL, capture_output=True,
                          text=True, timeout=20)
    assert time.monotonic() - t < 3.0, f"{args} took too long: {done}"
    return done.returncode, done.stdout.splitlines()


def test_record_pause_resume_and_stop_from_the_shortcut_commands(ui):
    path = ui.new_folder() / "from the keyboard.caf"
    ui.mic_tap()      # the recording is not started through start_recording()
    app = ui.launch_ready()
    ui.toggle(app, CLOSE, lambda: ui.click_tray_icon(app), quiet=0)   # the panel closed, as when a shortcut is pressed

    rc, out = command(app, "--help")
    assert rc == 0 and any("--record" in line for line in out) and any("--stop" in line for line in out), out
    assert command(app, "--stop") == (1, ["nothing is recording"])

    m = app.mark()
    assert command(app, "--record") == (0, ["choosing where to save"])
    app.wait_lines(RECORD_PRESSED, since=m)
    wait_for(lambda: ui.save_dialog_rect(app), 10, "the save dialog")
    rc, out = command(app, "--record")
    assert rc == 1 and "save dialog" in out[0], out
    ui.type_into_file_dialog(app, path)
    t_started = app.seconds(app.wait_lines(RECORDING_STARTED, since=m + len(RECORD_PRESSED))[1])
    time.sleep(1.0)
    assert command(app, "--record") == (0, ["paused"])
    # Beside Qt's options, even for a display that is not there: the command opens none.
    assert command(app, "-platform", "xcb", "-display", "nowhere:9", "--record") == (0, ["recording"])
    time.sleep(1.0)
    assert command(app, "--stop") == (0, ["stopped"])
    t_stopped = time.monotonic()

    lines = app.lines(m)
    assert lines[:-1] == RECORD_PRESSED + RECORDING_STARTED + PAUSED + RESUMED + STOPPED, app.report()
    assert lines[-1].startswith(SECONDS_PREFIX), app.report()
    sound = ui.assert_recording(path, MEDIUM_RATE)
    # Two seconds of sleep, and what the commands took on a busy machine at most.
    assert 1.8 <= sound.seconds <= t_stopped - t_started, (sound.seconds, t_stopped - t_started)
    assert command(app, "--stop") == (1, ["nothing is recording"])


def test_record_starts_the_recorder_when_none_runs(ui):
    done = subprocess.run([app_binary(), "--record"], stdin=subprocess.DEVNULL, capture_output=True, text=True,
                          timeout=30)
    assert (done.returncode, done.stdout.splitlines()) == (0, ["choosing where to save"]), done
    dialog = wait_for(lambda: next((w for w in ui.x.toplevels() if ui.x.is_viewable(w)
                                    and ui.x.has_title(w, SAVE_DIALOG_TITLE)), None), 10,
                      "the started recorder's save dialog")
    pid = ui.x.pid_of(dialog)
    os.kill(pid, signal.SIGTERM)
    wait_for(lambda: not os.path.exists(f"/proc/{pid}") or open(f"/proc/{pid}/stat").read().split()[2] == "Z",
             10, "the started recorder to end on SIGTERM")
