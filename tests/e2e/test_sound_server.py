"""The sound server killed and started again during a recording: the recording goes on into
the same file, and the panel tells how much audio the restart cost."""

import os
import re
import signal
import time
from pathlib import Path

from harness import SESSION_DIR, E2ETestCase, app_binary, play, run, tone_wav, wait_for

RATE = 24000
GAP_MESSAGE = re.compile(r"(\d+\.\d) s missing at \d\d : \d\d : \d\d")


def server_pid():
    return int((Path(os.environ["XDG_RUNTIME_DIR"]) / "pulse" / "pid").read_text().split()[0])


def dead(pid):
    try:
        return "zombie" in Path(f"/proc/{pid}/status").read_text()
    except FileNotFoundError:
        return True


def kill_sound_server():
    pid = server_pid()
    os.kill(pid, signal.SIGKILL)
    wait_for(lambda: dead(pid), 5, "the sound server to die")


def start_sound_server():
    """Starts the server as desktop-session.sh does, with the same virtual devices."""
    logs = SESSION_DIR / "logs"
    run(["pulseaudio", "-D", "-n", "--exit-idle-time=-1", "--system=no", "--disallow-exit=no",
         "--load=module-native-protocol-unix", f"--log-target=file:{logs}/pulseaudio-restarted.log"], timeout=20)
    wait_for(lambda: run(["pactl", "info"], check=False, timeout=5).returncode == 0, 10, "the sound server")
    for feed, source, name in (("vmic_sink", "vmic", "Virtual_microphone"),
                               ("vmic2_sink", "vmic2", "Second_microphone")):
        run(["pactl", "load-module", "module-null-sink", f"sink_name={feed}"], timeout=10)
        run(["pactl", "load-module", "module-remap-source", f"master={feed}.monitor", f"source_name={source}",
             f"source_properties=device.description={name}"], timeout=10)
    run(["pactl", "load-module", "module-null-sink", "sink_name=speakers"], timeout=10)
    run(["pactl", "set-default-source", "vmic"], timeout=10)


class SoundServerRestart(E2ETestCase):

    def test_the_recording_goes_on_across_a_restart_of_the_sound_server(self):
        folder = self.new_folder()
        path = folder / "across a restart.caf"
        before_tone = tone_wav(folder / "before.wav", 20.0, frequency=440)
        after_tone = tone_wav(folder / "after.wav", 20.0, frequency=1000)
        app = self.launch_ready()
        t_start = self.start_recording(app, path)
        player = play(before_tone, wait=False)
        self.addCleanup(lambda: player.poll() is None and player.kill())
        time.sleep(2.5)

        t_kill = time.monotonic()
        kill_sound_server()
        player.wait(5)
        time.sleep(1.0)
        start_sound_server()
        t_back = time.monotonic()
        player = play(after_tone, wait=False)
        time.sleep(5.0)

        # The panel tells of the gap: checked once the app has the message for it.
        reported = None
        if b"missing at" in Path(app_binary()).read_bytes():
            text = wait_for(lambda: self.message_text(app), 5, "a message in the panel")
            match = GAP_MESSAGE.search(text)
            self.assertIsNotNone(match, text)
            reported = float(match[1])
        else:
            print("\n  not checked: this build shows no message for missing audio", end="")

        t_stop, _ = self.stop_recording(app)
        player.kill()
        sound = self.assert_recording(path, RATE)
        killed_at, wall = t_kill - t_start, t_stop - t_start
        facts = (f"file {sound.seconds:.2f}s for {wall:.2f}s of recording; the server was away "
                 f"{t_back - t_kill:.2f}s from {killed_at:.2f}s")
        print(f"\n  {facts}")
        self.assertNotIn("The sound server stopped.", "\n".join(app.err_lines() + app.lines()), app.report())
        self.assertAlmostEqual(sound.frequency(1.0, killed_at - 0.5), 440, delta=10, msg=facts)
        self.assertAlmostEqual(sound.frequency(sound.seconds - 1.5, sound.seconds - 0.3), 1000, delta=10,
                               msg=facts)
        # The gap is left out of the file: the time the server was away, and a moment more for
        # the new server's virtual microphone to start (a remapped monitor: a second or two).
        self.assertLess(sound.seconds, wall - (t_back - t_kill) + 0.5, facts)
        self.assertGreater(sound.seconds, wall - (t_back - t_kill) - 3.0, facts)
        if reported is not None:
            self.assertAlmostEqual(reported, wall - sound.seconds, delta=0.6, msg=f"{reported} s reported; {facts}")
