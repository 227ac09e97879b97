"""Recording onto a disk that stalls: the app keeps capturing while its writes wait, and the
file catches up afterwards. The stall comes from our preload shim (tests/faults/StallShim.cpp):
while a control file exists, writes into the recording's folder wait."""

import os
import re
import signal
import time
import unittest
from pathlib import Path

from harness import E2ETestCase, app_binary, tone_wav, wait_for

MEDIUM_RATE = 24000
STALL_SECONDS = 15.0


def stall_shim():
    """The shim built beside the binary under test, or None."""
    shim = Path(app_binary()).parent / "tests" / "faults" / "libregistratore_stall_shim.so"
    return shim if shim.is_file() else None


class StalledDisk(E2ETestCase):

    def launch_on_stalling_folder(self, folder, control):
        shim = stall_shim()
        if not shim:
            raise unittest.SkipTest("the stall shim is not built beside the app")
        asan = os.environ.get("ASAN_OPTIONS", "")
        return self.launch_ready(env={
            "LD_PRELOAD": str(shim),
            "ASAN_OPTIONS": f"{asan}:verify_asan_link_order=0",
            # The recording's folder: the file is written without a name until its first audio.
            "REGISTRATORE_STALL_PATH": str(folder),
            "REGISTRATORE_STALL_CONTROL": str(control)})

    def saying(self, app, what):
        """Waits for the panel's message to contain `what`; returns the message. Reading it at
        all means the app answers."""
        return wait_for(lambda: (t := self.message_text(app)) and what in t and t, 5,
                        lambda: f"the panel to say {what!r} (it says {self.message_text(app)!r})\n{app.report()}")

    def test_stop_and_quit_on_a_stalled_disk_answer_at_once_and_tell_what_is_left(self):
        folder = self.new_folder()
        control = folder / "stall"
        stopped, quit = folder / "stopped in a stall.caf", folder / "quit in a stall.caf"
        tone = tone_wav(folder / "tone.wav", 40.0, frequency=440)
        app = self.launch_on_stalling_folder(folder, control)
        self.addCleanup(lambda: control.unlink(missing_ok=True))

        # Stop, 3 s into a stall: the panel is ready at once and says the file is being saved.
        _, t_start, player = self.record_tone(app, stopped, tone)
        time.sleep(1.5)
        control.touch()
        time.sleep(3.0)
        t_stop, _ = self.stop_recording(app)
        saving = self.saying(app, "Saving…")
        self.assertRegex(saving, r"^Saving… \d+ s of audio still to write$")
        self.assertEqual(self.elapsed_text(app), "00 : 00 : 00")
        time.sleep(2.0)
        self.assertTrue(self.message_text(app).startswith("Saving…"), "it said saved before it was")
        control.unlink()
        wait_for(lambda: self.message_text(app) is None, 10, lambda: f"the saving message gone\n{app.report()}")
        sound = self.assert_recording(stopped, MEDIUM_RATE)
        self.assertAlmostEqual(sound.seconds, t_stop - t_start, delta=0.5)

        # Quit in a stall: the app waits for the file and says so; a second quit gives it up.
        self.start_recording(app, quit)
        time.sleep(1.5)
        control.touch()
        time.sleep(1.0)
        app.send_signal(signal.SIGTERM)
        self.saying(app, "Quit again to quit now and lose it.")
        time.sleep(1.0)
        self.assertTrue(app.running(), "the app quit before its file was complete")
        app.send_signal(signal.SIGTERM)
        rc = app.wait_exit(10)
        player.kill()
        lost = [line for line in app.err_lines() if "quit before the recording was saved" in line]
        self.assertEqual(rc, 1, app.report())
        self.assertEqual(len(lost), 1, app.report())
        self.assertRegex(lost[0], r"^registratore: quit before the recording was saved: \d+\.\d s of audio lost\.$")
        self.assertGreater(float(re.search(r"(\d+\.\d) s", lost[0]).group(1)), 0.5)

    def test_a_long_stall_with_the_popover_closed_loses_nothing(self):
        folder = self.new_folder()
        path = folder / "through a stall.caf"
        control = folder / "stall"
        tone = tone_wav(folder / "tone.wav", 24.0, frequency=440)
        app = self.launch_on_stalling_folder(folder, control)

        tap, t_start, player = self.record_tone(app, path, tone)
        self.click_tray_icon(app)
        self.wait_popover_hidden(app)
        time.sleep(1.5)

        control.touch()
        time.sleep(1.0)
        size_in_stall = path.stat().st_size
        time.sleep(STALL_SECONDS - 1.0)
        size_before_release = path.stat().st_size
        control.unlink()
        time.sleep(3.0)

        self.click_tray_icon(app)
        self.wait_popover_shown(app)
        t_stop, _ = self.stop_recording(app)
        player.kill()
        tap.stop()
        self.assertEqual(size_in_stall, size_before_release, "the writes did not wait: no stall happened")

        sound = self.assert_recording(path, MEDIUM_RATE)
        recorded = t_stop - t_start
        onset = sound.first_loud(-30.0)
        self.assertIsNotNone(onset, "the tone is not in the file")
        # A loaded machine may starve the virtual microphone's player: such breaks reach the
        # independent tap too. A break only the file has is the recorder's.
        heard = tap.sound()
        heard_onset = heard.first_loud(-30.0)
        self.assertIsNotNone(heard_onset, "the tap heard no tone")
        heard_quiet = [t for t, db in heard.levels(0.05) if db <= -20.0]
        quiet = [t for t, db in sound.levels(0.1)
                 if onset + 0.1 <= t and t + 0.1 <= sound.seconds and db <= -20.0]
        ours = [round(t, 1) for t in quiet
                if not any(abs(q - (heard_onset + t - onset)) < 0.25 for q in heard_quiet)]
        facts = (f"file {sound.seconds:.3f}s after {recorded:.3f}s of recording with a {STALL_SECONDS:.0f}s "
                 f"stall; breaks in the tone at {[round(t, 1) for t in quiet]} s, "
                 f"of which the microphone did not have {ours}")
        print(f"\n  {facts}", end="")
        self.assertAlmostEqual(sound.seconds, recorded, delta=0.5, msg=facts)
        self.assertEqual(ours, [], f"gaps in the tone: {facts}")


if __name__ == "__main__":
    unittest.main()
