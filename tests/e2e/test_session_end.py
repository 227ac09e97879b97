"""The session ending under the recorder: its display lost mid-recording, a quit in the first
second, a quit whose completion of the file fails."""

import os
import signal
import subprocess
import tempfile
import time
from pathlib import Path

import pytest

from harness import RECORD_PRESSED, RECORDING_STARTED, SESSION_DIR, STARTUP, app_binary, run, wait_for
from sound import recording_start, tone_wav

MEDIUM_RATE = 24000


class PrivateDisplay:
    """An Xvfb of its own, without a tray: killing it leaves the session's display alone."""

    def __init__(self):
        r, w = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-nolisten", "tcp"], pass_fds=(w,),
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(w)
        with os.fdopen(r) as f:
            self.number = f.readline().strip()
        self.name = f":{self.number}"

    def xdotool(self, *args):
        run(["xdotool", *args], env={**os.environ, "DISPLAY": self.name})

    def click(self, rect):
        self.xdotool("mousemove", str(rect.center[0]), str(rect.center[1]), "click", "1")

    def stop(self):
        self.proc.kill()
        self.proc.wait(5)
        for leftover in (f"/tmp/.X{self.number}-lock", f"/tmp/.X11-unix/X{self.number}"):
            Path(leftover).unlink(missing_ok=True)


def test_display_killed_mid_recording_completes_the_file_and_exits_non_zero(ui):
    display = ui.start(PrivateDisplay())
    folder = ui.new_folder()
    path = folder / "display lost.caf"
    tone = tone_wav(folder / "tone.wav", 8.0)
    app = ui.launch(env={"DISPLAY": display.name})
    tap = ui.mic_tap()
    app.wait_lines(STARTUP, timeout=20)     # the window opens a second after the launch
    m = app.mark()
    display.click(ui.a11y.extents(ui.widget(app, "Record", timeout=20)))
    app.wait_lines(RECORD_PRESSED, since=m)
    field = ui.a11y.find(ui.a11y.application(app.pid), role="text", name_prefix="File name")
    display.click(ui.a11y.extents(field))
    display.xdotool("key", "ctrl+a")
    display.xdotool("type", "--delay", "15", "--", str(path))
    wait_for(lambda: ui.a11y.text(field) == str(path), 5, "the path in the file-name field")
    m = app.mark()
    display.xdotool("key", "Return")
    t_start = app.seconds(app.wait_lines(RECORDING_STARTED, since=m)[1])
    ui.play(tone)
    time.sleep(3.0)
    t_kill = time.monotonic()
    display.stop()     # as in a crash: SIGKILL
    rc = app.wait_exit(10)
    tap.stop()

    assert rc > 0, app.report()
    sound = ui.assert_recording(path, MEDIUM_RATE)    # its header covers all its audio
    lost = t_kill - (recording_start(tap, sound) + sound.seconds)
    facts = f"file {sound.seconds:.3f}s after {t_kill - t_start:.3f}s of recording, {lost:.3f}s lost"
    print(f"\n  display lost: {facts}", end="")
    assert lost <= 0.25, facts
    assert "registratore: the display went away; the recording was completed." in app.err_lines()


def test_sigterm_in_the_first_second_ends_the_app_at_once(ui):
    # No tray on that display: the app is waiting for one when the signal comes.
    app = ui.launch(env={"DISPLAY": ui.start(PrivateDisplay()).name})
    time.sleep(0.5)
    t_signal = app.send_signal(signal.SIGTERM)
    rc = app.wait_exit(5)
    assert time.monotonic() - t_signal <= 1.0, app.report()
    # Signalled before it could handle SIGTERM, it ends by the signal itself.
    assert rc in (0, -signal.SIGTERM), app.report()


def test_quit_whose_completion_fails_exits_non_zero_with_the_reason(ui):
    # A failing close() also aborts libpulse: the file's sync is the fault to inject.
    symbols = run(["nm", "-D", "--undefined-only", app_binary()]).stdout.split()
    if not {"fsync", "fdatasync"} & {s.split("@")[0] for s in symbols}:
        pytest.skip("the recorder does not sync its files yet: no completion failure to inject")
    # What `fiu-run -x` sets up; the harness chooses the binary it launches.
    fifo = tempfile.mkdtemp(prefix="fiu-", dir=SESSION_DIR) + "/ctrl"
    app = ui.launch_ready(env={"FIU_CTRL_FIFO": fifo, "FIU_ENABLE": "", "LD_PRELOAD":
                               "/usr/lib/fiu/fiu_run_preload.so /usr/lib/fiu/fiu_posix_preload.so"})
    ui.start_recording(app, ui.new_folder() / "not completed.caf")
    time.sleep(1.0)
    run(["fiu-ctrl", "-f", fifo, "-c", "enable name=posix/io/sync/*,failinfo=5", str(app.pid)])
    app.send_signal(signal.SIGTERM)
    rc = app.wait_exit(10)
    assert rc > 0, app.report()
    reason = next((line for line in app.err_lines() if "could not be completed" in line), "")
    assert "Input/output error" in reason, app.report()
