"""The recorder when its session ends under it: the display lost mid-recording, a quit in the
first second, and a quit whose completion of the file fails."""

import os
import signal
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from harness import (RECORD_PRESSED, RECORDING_STARTED, SESSION_DIR, E2ETestCase, MicTap, app_binary, play,
                     recording_start, run, tone_wav, wait_for)

MEDIUM_RATE = 24000
# What fiu-run -x puts in the environment (libfiu's POSIX failure points, controlled through
# fiu-ctrl); the launch cannot go through fiu-run itself, whose binary the harness chooses.
FIU_PRELOAD = "/usr/lib/fiu/fiu_run_preload.so /usr/lib/fiu/fiu_posix_preload.so"


def syncs_its_files(binary):
    """Whether the app calls fsync or fdatasync, whose failure makes a completion fail without
    failing the sound server's own calls."""
    symbols = run(["nm", "-D", "--undefined-only", binary], timeout=30).stdout.split()
    return any(s.split("@")[0] in ("fsync", "fdatasync") for s in symbols)


class PrivateDisplay:
    """An Xvfb of its own, without a tray: killing it leaves the session's display to the
    other tests. Its clicks and keys go through xdotool on it."""

    def __init__(self):
        r, w = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp"], pass_fds=(w,), stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     start_new_session=True)
        os.close(w)
        with os.fdopen(r) as f:
            self.number = f.readline().strip()
        if not self.number:
            raise AssertionError("the private Xvfb did not start")
        self.name = f":{self.number}"

    def xdotool(self, *args):
        run(["xdotool", *args], env={**os.environ, "DISPLAY": self.name}, timeout=20)

    def click(self, rect):
        self.xdotool("mousemove", str(rect.center[0]), str(rect.center[1]), "click", "1")

    def kill(self):
        """Ends the server the way a crash does."""
        self.proc.kill()
        self.proc.wait(5)

    def close(self):
        if self.proc.poll() is None:
            self.kill()
        for leftover in (f"/tmp/.X{self.number}-lock", f"/tmp/.X11-unix/X{self.number}"):
            Path(leftover).unlink(missing_ok=True)


class SessionEnd(E2ETestCase):

    def private_display(self):
        display = PrivateDisplay()
        self.addCleanup(display.close)
        return display

    def start_recording_on(self, display, app, path):
        """Record, the path typed into the save dialog, confirmed, on a private display; returns
        the (monotonic) time the recording started."""
        m = app.mark()
        display.click(self.a11y.extents(self.widget(app, "Record", timeout=20)))
        app.wait_lines(RECORD_PRESSED, since=m)
        root = self.a11y.application(app.pid)
        field = self.a11y.find(root, role="text", name_prefix="File name")
        display.click(self.a11y.extents(field))
        display.xdotool("key", "ctrl+a")
        display.xdotool("type", "--delay", "15", "--", str(path))
        wait_for(lambda: self.a11y.text(field) == str(path), 5, "the path in the file-name field")
        m = app.mark()
        display.xdotool("key", "Return")
        return app.seconds(app.wait_lines(RECORDING_STARTED, since=m)[1])

    def test_display_killed_mid_recording_completes_the_file_and_exits_non_zero(self):
        display = self.private_display()
        folder = self.new_folder()
        path = folder / "display lost.caf"
        tone = tone_wav(folder / "tone.wav", 8.0)
        app = self.launch(env={"DISPLAY": display.name})
        tap = MicTap().wait_running()
        self.addCleanup(tap.stop)
        t_start = self.start_recording_on(display, app, path)
        player = play(tone, wait=False)
        self.addCleanup(lambda: player.poll() is None and player.kill())
        time.sleep(3.0)
        t_kill = time.monotonic()
        display.kill()
        rc = app.wait_exit(10)
        player.kill()
        tap.stop()

        self.assertGreater(rc, 0, app.report())
        sound = self.assert_recording(path, MEDIUM_RATE)    # its header covers all its audio
        lost = t_kill - (recording_start(tap, sound) + sound.seconds)
        facts = (f"file {sound.seconds:.3f}s after {t_kill - t_start:.3f}s of recording, "
                 f"{lost:.3f}s lost at the end")
        print(f"\n  display lost: {facts}", end="")
        # A process that was killed loses up to half a second; a completed file, the audio the
        # sound server held at most.
        self.assertLessEqual(lost, 0.25, facts)
        self.assertIn("registratore: the display went away; the recording was completed.", app.err_lines(),
                      app.report())

    def test_sigterm_in_the_first_second_ends_the_app_at_once(self):
        # No tray on that display: the app is waiting for one when the signal comes.
        app = self.launch(env={"DISPLAY": self.private_display().name})
        time.sleep(0.5)
        t_signal = app.send_signal(signal.SIGTERM)
        rc = app.wait_exit(5)
        took = time.monotonic() - t_signal
        self.assertLessEqual(took, 1.0, app.report())
        # Signalled before it could handle SIGTERM, it ends by the signal itself.
        self.assertIn(rc, (0, -signal.SIGTERM), app.report())

    def test_quit_whose_completion_fails_exits_non_zero_with_the_reason(self):
        if not syncs_its_files(app_binary()):
            self.skipTest("the recorder does not sync its files yet: no completion failure to inject "
                          "(a failing close() also aborts libpulse)")
        fifo = tempfile.mkdtemp(prefix="fiu-", dir=SESSION_DIR) + "/ctrl"
        app = self.launch_ready(env={"LD_PRELOAD": FIU_PRELOAD, "FIU_CTRL_FIFO": fifo, "FIU_ENABLE": ""})
        path = self.new_folder() / "not completed.caf"
        self.start_recording(app, path)
        time.sleep(1.0)
        # EIO from syncing the file, the last step of completing it.
        run(["fiu-ctrl", "-f", fifo, "-c", "enable name=posix/io/sync/*,failinfo=5", str(app.pid)])
        app.send_signal(signal.SIGTERM)
        rc = app.wait_exit(10)
        self.assertGreater(rc, 0, app.report())
        reason = next((line for line in app.err_lines() if "could not be completed" in line), None)
        self.assertIsNotNone(reason, app.report())
        self.assertIn("Input/output error", reason, app.report())


if __name__ == "__main__":
    unittest.main()
