"""A recording moved to another microphone from the desktop's sound settings (pactl here): it goes
on into the same file, and the panel names the microphone it now records from."""

import json
import time

from harness import run, wait_for
from sound import MIC2_SINK, tone_wav

RATE = 24000


def recording_stream():
    """The index of the app's recording stream (source output)."""
    outputs = json.loads(run(["pactl", "-f", "json", "list", "source-outputs"], timeout=10).stdout)
    ours = [o["index"] for o in outputs if o.get("properties", {}).get("application.name") == "Registratore"]
    return ours[0] if len(ours) == 1 else None


def test_a_recording_moved_to_another_microphone_goes_on_from_it(ui):
    folder = ui.new_folder()
    path = folder / "moved.caf"
    ui.play(tone_wav(folder / "first.wav", 20.0, frequency=440))
    ui.play(tone_wav(folder / "second.wav", 20.0, frequency=1000), MIC2_SINK)
    app = ui.launch_ready()
    t_start = ui.start_recording(app, path)
    time.sleep(2.5)

    stream = wait_for(recording_stream, 5, "the app's recording stream")
    t_move = time.monotonic()
    run(["pactl", "move-source-output", str(stream), "vmic2"], timeout=10)
    assert wait_for(lambda: ui.message_text(app), 5, "a message in the panel") \
        == "Recording from \u201cSecond_microphone\u201d.", app.report()
    time.sleep(3.0)

    t_stop, _ = ui.stop_recording(app)
    sound = ui.assert_recording(path, RATE)
    moved_at, wall = t_move - t_start, t_stop - t_start
    facts = f"file {sound.seconds:.2f}s for {wall:.2f}s of recording, moved at {moved_at:.2f}s"
    print(f"\n  {facts}")
    assert "The microphone was disconnected." not in "\n".join(app.err_lines()), app.report()
    # Everything before the move is there, from the first microphone; then the second one.
    assert abs(sound.frequency(0.5, moved_at - 0.5) - 440) <= 10, facts
    assert abs(sound.frequency(sound.seconds - 1.5, sound.seconds - 0.3) - 1000) <= 10, facts
    assert wall - 0.8 < sound.seconds < wall + 0.5, facts
