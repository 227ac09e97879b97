"""A recording moved to another microphone from the desktop's sound settings (pactl here): it goes
on into the same file, and the panel names the microphone it now records from."""

import json
import time

from harness import MIC2_SINK, E2ETestCase, play, run, tone_wav, wait_for

RATE = 24000


def recording_stream():
    """The index of the app's recording stream (source output)."""
    outputs = json.loads(run(["pactl", "-f", "json", "list", "source-outputs"], timeout=10).stdout)
    ours = [o["index"] for o in outputs if o.get("properties", {}).get("application.name") == "Registratore"]
    return ours[0] if len(ours) == 1 else None


class Routing(E2ETestCase):

    def test_a_recording_moved_to_another_microphone_goes_on_from_it(self):
        folder = self.new_folder()
        path = folder / "moved.caf"
        players = [play(tone_wav(folder / "first.wav", 20.0, frequency=440), wait=False),
                   play(tone_wav(folder / "second.wav", 20.0, frequency=1000), sink=MIC2_SINK, wait=False)]
        self.addCleanup(lambda: [p.kill() for p in players if p.poll() is None])
        app = self.launch_ready()
        t_start = self.start_recording(app, path)
        time.sleep(2.5)

        stream = wait_for(recording_stream, 5, "the app's recording stream")
        t_move = time.monotonic()
        run(["pactl", "move-source-output", str(stream), "vmic2"], timeout=10)
        message = wait_for(lambda: self.message_text(app), 5, "a message in the panel")
        self.assertEqual(message, "Recording from \u201cSecond_microphone\u201d.", app.report())
        time.sleep(3.0)

        t_stop, _ = self.stop_recording(app)
        sound = self.assert_recording(path, RATE)
        moved_at, wall = t_move - t_start, t_stop - t_start
        facts = f"file {sound.seconds:.2f}s for {wall:.2f}s of recording, moved at {moved_at:.2f}s"
        print(f"\n  {facts}")
        self.assertNotIn("The microphone was disconnected.", "\n".join(app.err_lines()), app.report())
        # Everything before the move is there, from the first microphone; then the second one.
        self.assertAlmostEqual(sound.frequency(0.5, moved_at - 0.5), 440, delta=10, msg=facts)
        self.assertAlmostEqual(sound.frequency(sound.seconds - 1.5, sound.seconds - 0.3), 1000, delta=10,
                               msg=facts)
        self.assertGreater(sound.seconds, wall - 0.8, facts)
        self.assertLess(sound.seconds, wall + 0.5, facts)
