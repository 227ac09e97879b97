"""Recording onto a disk that stalls: the app keeps capturing while its writes wait, and the
file catches up afterwards. The stall comes from our preload shim (tests/faults/StallShim.cpp):
while a control file exists, writes into the recording's folder wait."""

import os
import re
import signal
import time
from pathlib import Path

import pytest

from harness import app_binary, wait_for
from sound import tone_wav

MEDIUM_RATE = 24000
STALL_SECONDS = 15.0


def launch_on_stalling_folder(ui, folder, control):
    shim = Path(app_binary()).parent / "tests" / "faults" / "libregistratore_stall_shim.so"
    if not shim.is_file():
        pytest.skip("the stall shim is not built beside the app")
    ui.at_end(lambda: control.unlink(missing_ok=True))
    return ui.launch_ready(env={
        "LD_PRELOAD": str(shim),
        "ASAN_OPTIONS": f"{os.environ.get('ASAN_OPTIONS', '')}:verify_asan_link_order=0",
        # The recording's folder: the file is written without a name until its first audio.
        "REGISTRATORE_STALL_PATH": str(folder),
        "REGISTRATORE_STALL_CONTROL": str(control)})


def saying(ui, app, what):
    """Waits for the panel's message to contain `what`; returns the message. Reading it at all
    means the app answers."""
    return wait_for(lambda: (t := ui.message_text(app)) and what in t and t, 5,
                    lambda: f"the panel to say {what!r} (it says {ui.message_text(app)!r})\n{app.report()}")


def test_stop_and_quit_on_a_stalled_disk_answer_at_once_and_tell_what_is_left(ui):
    folder = ui.new_folder()
    control = folder / "stall"
    stopped, quit = folder / "stopped in a stall.caf", folder / "quit in a stall.caf"
    app = launch_on_stalling_folder(ui, folder, control)

    # Stop, 3 s into a stall: the panel is ready at once and says the file is being saved.
    _, t_start, player = ui.record_tone(app, stopped, tone_wav(folder / "tone.wav", 40.0, frequency=440))
    time.sleep(1.5)
    control.touch()
    time.sleep(3.0)
    t_stop, _ = ui.stop_recording(app)
    assert re.fullmatch(r"Saving… \d+ s of audio still to write", saying(ui, app, "Saving…"))
    assert ui.elapsed_text(app) == "00 : 00 : 00"
    time.sleep(2.0)
    assert ui.message_text(app).startswith("Saving…"), "it said saved before it was"
    control.unlink()
    wait_for(lambda: ui.message_text(app) is None, 10, lambda: f"the saving message gone\n{app.report()}")
    assert abs(ui.assert_recording(stopped, MEDIUM_RATE).seconds - (t_stop - t_start)) <= 0.5

    # Quit in a stall: the app waits for the file and says so; a second quit gives it up.
    ui.start_recording(app, quit)
    time.sleep(1.5)
    control.touch()
    time.sleep(1.0)
    app.send_signal(signal.SIGTERM)
    saying(ui, app, "Quit again to quit now and lose it.")
    time.sleep(1.0)
    assert app.running(), "the app quit before its file was complete"
    app.send_signal(signal.SIGTERM)
    rc = app.wait_exit(10)
    player.kill()
    lost = [line for line in app.err_lines() if "quit before the recording was saved" in line]
    assert rc == 1 and len(lost) == 1, app.report()
    match = re.fullmatch(r"registratore: quit before the recording was saved: (\d+\.\d) s of audio lost\.", lost[0])
    assert match and float(match[1]) > 0.5, lost[0]


def test_a_long_stall_with_the_popover_closed_loses_nothing(ui):
    folder = ui.new_folder()
    path, control = folder / "through a stall.caf", folder / "stall"
    app = launch_on_stalling_folder(ui, folder, control)
    tap, t_start, player = ui.record_tone(app, path, tone_wav(folder / "tone.wav", 24.0, frequency=440))
    ui.click_tray_icon(app)
    ui.wait_popover(app, shown=False)
    time.sleep(1.5)

    control.touch()
    time.sleep(1.0)
    size_in_stall = path.stat().st_size
    time.sleep(STALL_SECONDS - 1.0)
    size_before_release = path.stat().st_size
    control.unlink()
    time.sleep(3.0)

    ui.click_tray_icon(app)
    ui.wait_popover(app)
    t_stop, _ = ui.stop_recording(app)
    player.kill()
    tap.stop()
    assert size_in_stall == size_before_release, "the writes did not wait: no stall happened"

    sound = ui.assert_recording(path, MEDIUM_RATE)
    recorded = t_stop - t_start
    onset = sound.first_loud(-30.0)
    assert onset is not None, "the tone is not in the file"
    # A loaded machine may starve the virtual microphone's player: such breaks reach the
    # independent tap too. A break only the file has is the recorder's.
    heard = tap.sound()
    heard_onset = heard.first_loud(-30.0)
    assert heard_onset is not None, "the tap heard no tone"
    heard_quiet = [t for t, db in heard.levels(0.05) if db <= -20.0]
    quiet = [t for t, db in sound.levels(0.1) if onset + 0.1 <= t and t + 0.1 <= sound.seconds and db <= -20.0]
    ours = [round(t, 1) for t in quiet if not any(abs(q - (heard_onset + t - onset)) < 0.25 for q in heard_quiet)]
    facts = (f"file {sound.seconds:.3f}s after {recorded:.3f}s of recording with a {STALL_SECONDS:.0f}s "
             f"stall; breaks in the tone at {[round(t, 1) for t in quiet]} s, {ours} of them not at the microphone")
    print(f"\n  {facts}", end="")
    assert abs(sound.seconds - recorded) <= 0.5, facts
    assert ours == [], f"gaps in the tone: {facts}"
