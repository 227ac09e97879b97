"""The settings popup under the panel's Settings button: the quality preset (stored, and used
by the next recording), Contact Us, Quit, and how the popup closes."""

import configparser
import re
import tempfile
import time
from pathlib import Path

from harness import CLOSE, PAUSED, SECONDS_PREFIX, SESSION_DIR, SETTLE, STOPPED, wait_for
from sound import recording_start, tone_wav

RATES = {"Low": 12000, "Medium": 24000, "High": 48000}
CODES = {"Low": 0, "Medium": 1, "High": 2}
ROW_CHOSEN = ["tableViewSelectionDidChange", "indirizzo selezionato : {}"]


def rows(quality):
    return [f"Quality : {quality}", "Contact Us", "Quit"]


def stored_quality(config_home):
    """The preset code in the preferences file, or None when nothing is stored."""
    parser = configparser.ConfigParser()
    parser.read(Path(config_home) / "registratore" / "registratore.conf")
    value = parser.get("General", "qualitaAudio", fallback=None)
    return int(value) if value is not None else None


def choose_row(app, ui, popup, row):
    m = app.mark()
    ui.click_settings_row(popup, row)
    app.wait_lines([line.format(row) for line in ROW_CHOSEN], since=m)
    return m


def step_quality(app, ui, popup, expected):
    """Clicks the quality row; waits for the row to read the expected preset."""
    m = choose_row(app, ui, popup, 0)
    app.wait_line("arrayMenu : [" + ", ".join(f'"{r}"' for r in rows(expected)) + "]", since=m)
    wait_for(lambda: ui.settings_rows(popup) == rows(expected), 5,
             lambda: f"the rows to read {rows(expected)} (they read {ui.settings_rows(popup)})")


def close_popup_inside_panel(app, ui):
    """Closes the popup the way a user does, with a click beside it (on the panel's time)."""
    ui.click(ui.a11y.extents(ui.widget(app, "Elapsed time", role="label")))
    wait_for(lambda: not ui.settings_popup_rect(app), 5, "the settings popup to close")


def record_briefly(app, ui, path, seconds=1.2):
    ui.start_recording(app, path)
    time.sleep(seconds)
    ui.stop_recording(app)
    return path


def test_quality_row_steps_through_presets_and_the_next_recording_uses_it(ui):
    config = {"XDG_CONFIG_HOME": tempfile.mkdtemp(prefix="config-", dir=SESSION_DIR)}
    folder = ui.new_folder()
    app = ui.launch_ready(env=config)
    assert stored_quality(config["XDG_CONFIG_HOME"]) is None
    m = app.mark()
    popup = ui.open_settings_popup(app)
    ui.screenshot("settings-popup")

    # The popup sits under the Settings button; the log gives the button's bounds.
    button = ui.a11y.extents(ui.widget(app, "Settings"))
    assert app.lines(m)[1] == f"bounds : {{{{0, 0}}, {{{button.width}, {button.height}}}}}"
    rect = ui.settings_popup_rect(app)
    assert rect.x <= button.center[0] < rect.right and button.bottom - 2 <= rect.y <= button.bottom + 10, \
        f"popup {rect}, button {button}"
    assert ui.settings_rows(popup) == rows("Medium")

    for expected in ("High", "Low", "Medium", "High"):
        step_quality(app, ui, popup, expected)
        assert stored_quality(config["XDG_CONFIG_HOME"]) == CODES[expected]
        assert ui.settings_popup_rect(app), "the popup closed after a choice"
    close_popup_inside_panel(app, ui)
    ui.assert_recording(record_briefly(app, ui, folder / "at high quality.caf"), RATES["High"])

    # The choice outlives the app: a new launch shows it and the next step is Low.
    app.judge()
    app = ui.launch_ready(env=config)
    popup = ui.open_settings_popup(app)
    assert ui.settings_rows(popup) == rows("High")
    step_quality(app, ui, popup, "Low")
    close_popup_inside_panel(app, ui)
    ui.assert_recording(record_briefly(app, ui, folder / "at low quality.caf"), RATES["Low"])


def test_an_outside_click_closes_the_popup_without_choosing(ui, app):
    logo = ui.xlogo()
    popup = ui.open_settings_popup(app)
    assert not ui.settings_popup_rect(app).contains(*logo.center)
    m = app.mark()
    ui.click(logo)
    wait_for(lambda: not ui.settings_popup_rect(app), 5, "the settings popup to close")
    assert not ui.a11y.is_showing(popup)
    # The click outside also closes the panel, as any outside click does; nothing is chosen.
    app.wait_lines(CLOSE, since=m)
    ui.assert_quiet(app, m + len(CLOSE), SETTLE)


def test_contact_us_without_a_mail_program_keeps_the_app_working(ui, app):
    popup = ui.open_settings_popup(app)
    m = choose_row(app, ui, popup, 1)
    app.wait_lines(ROW_CHOSEN[:1] + [ROW_CHOSEN[1].format(1), "contact us"], since=m)
    time.sleep(1.0)
    assert app.running(), app.report()
    # Still answering: the popup closes and the panel records.
    close_popup_inside_panel(app, ui)
    ui.assert_recording(record_briefly(app, ui, ui.new_folder() / "after contact.caf", seconds=0.5), RATES["Medium"])


def test_quit_during_a_recording_completes_the_file_and_exits_0(ui, app):
    folder = ui.new_folder()
    app.expect_exit = True
    path = folder / "cut short by quit.caf"
    tap, t_start, player = ui.record_tone(app, path, tone_wav(folder / "tone.wav", 8.0, frequency=440))
    time.sleep(1.5)         # the tone sounding until after the quit
    popup = ui.open_settings_popup(app)
    m = choose_row(app, ui, popup, 2)
    t_quit = app.seconds(app.wait_lines(STOPPED, since=m + len(ROW_CHOSEN))[0])
    rc = app.wait_exit(10)
    player.kill()
    tap.stop()
    assert rc == 0, app.report()
    assert any(line.startswith(SECONDS_PREFIX) for line in app.lines(m)), app.report()
    sound = ui.assert_recording(path, RATES["Medium"])
    lost = t_quit - (recording_start(tap, sound) + sound.seconds)
    facts = (f"file {sound.seconds:.3f}s, recorded {t_quit - t_start:.3f}s, "
             f"the last {lost * 1000:.0f} ms before Quit lost")
    print(f"\n  quit: {facts}")
    assert abs(sound.seconds - (t_quit - t_start)) <= 0.3 and lost <= 0.15, facts


def test_the_popup_does_not_pause_a_recording(ui, app):
    path = ui.new_folder() / "with the popup open.caf"
    t_start = ui.start_recording(app, path)
    time.sleep(1.2)
    m = app.mark()
    popup = ui.open_settings_popup(app)
    t_open = time.monotonic()
    shown_at_open = ui.elapsed_text(app)
    time.sleep(2.2)
    shown_later = ui.elapsed_text(app)
    assert ui.settings_popup_rect(app)
    seconds = [int(re.fullmatch(r"\d\d : \d\d : (\d\d)", t)[1]) for t in (shown_at_open, shown_later)]
    assert seconds[1] - seconds[0] >= 2, f"{shown_at_open!r}, {shown_later!r} {time.monotonic() - t_open:.1f}s later"
    assert PAUSED[0] not in app.lines(m) and ui.a11y.is_showing(popup)
    close_popup_inside_panel(app, ui)
    ui.widget(app, "Pause")
    t_stop, _ = ui.stop_recording(app)
    sound = ui.assert_recording(path, RATES["Medium"])
    assert abs(sound.seconds - (t_stop - t_start)) <= 0.3, f"file {sound.seconds:.3f}s for {t_stop - t_start:.3f}s"
