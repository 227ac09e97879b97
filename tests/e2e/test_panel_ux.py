"""What the user sees of the panel: long messages read whole, buttons legible under the pointer,
a settings menu a screen reader announces."""

import subprocess
import time

import pytest

from harness import CLICK_GAP, CLOSE, CREATE_FAILED, OPEN, wait_for
from xdesk import Rect

PANEL_LUMA = 39
LONG_NAME = "a recording whose name is long enough to run the message over several lines.caf"


def pixels(png, r):
    """The (r, g, b) rows of rectangle r in a screenshot."""
    raw = subprocess.run(["convert", str(png), "-crop", f"{r.width}x{r.height}+{r.x}+{r.y}", "+repage",
                          "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    px = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
    return [px[y * r.width:(y + 1) * r.width] for y in range(r.height)]


def luma(p):
    return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]


def rect_of(ui, app, name, role="push button"):
    return ui.a11y.extents(ui.widget(app, name, role=role))


def assert_long_message_fits(ui, app, before):
    blocker = ui.new_folder() / "not a folder"
    blocker.write_text("")
    m = app.mark()
    ui.open_save_dialog(app)
    ui.type_into_file_dialog(app, blocker / LONG_NAME)
    app.wait_line(CREATE_FAILED, since=m)
    label = ui.widget(app, "Message", role="label")
    wait_for(lambda: ui.popover_rect(app).height > before.height, 5, "the panel to grow")
    time.sleep(0.3)
    shot, panel = ui.screenshot(f"message-{app.pid}"), ui.popover_rect(app)
    text, level = ui.a11y.extents(label), rect_of(ui, app, "Input level", role=None)
    facts = f"message {text}, level bar {level}, panel {panel}"
    assert LONG_NAME in (ui.a11y.text(label) or "")
    assert panel.x <= text.x and text.right <= panel.right and level.bottom <= text.y and text.bottom <= panel.bottom, \
        facts
    assert text.height >= 3 * 14, f"not wrapped over three lines: {facts}"
    # The panel's last rows are its own colour: no text is cut by its bottom edge.
    assert all(luma(p) < 80 for row in pixels(shot, Rect(text.x, panel.bottom - 3, text.width, 3)) for p in row), facts


@pytest.mark.parametrize("panel", ["popover", "window shown without a status bar"])
def test_a_long_message_wraps_and_the_panel_fits_it(ui, panel):
    if panel == "popover":
        app = ui.launch_ready()
        before = ui.popover_rect(app)
        assert_long_message_fits(ui, app, before)
        ui.open_save_dialog(app)         # Record clears the message: the panel shrinks back
        ui.cancel_save_dialog(app)
        wait_for(lambda: ui.popover_rect(app).height == before.height, 5, "the panel to shrink back")
    else:
        ui.use_trayer(False)
        app = ui.launch()
        assert_long_message_fits(ui, app, ui.wait_popover(app, timeout=20))


def assert_tint(ui, app, name, hovered):
    button = rect_of(ui, app, name)
    time.sleep(0.3)
    rows = pixels(ui.screenshot(f"{name}-{'hovered' if hovered else 'left'}"), button)
    beside_icon = luma(rows[button.height // 2][2])
    facts = f"{name} {button}: background luma {beside_icon:.0f}"
    assert beside_icon < 90, f"a light fill hides the icon: {facts}"
    if hovered:
        assert beside_icon > PANEL_LUMA + 6, f"no hover tint: {facts}"
    else:
        assert abs(beside_icon - PANEL_LUMA) < 4, f"the tint stays after the pointer left: {facts}"
    assert sum(min(p) > 200 for row in rows for p in row) > 40, f"no white icon: {facts}"


def test_buttons_keep_their_icon_under_the_pointer(ui, app):
    away = rect_of(ui, app, "Elapsed time", role="label").center
    for name in ("Record", "Stop", "Settings"):
        ui.pointer.move(*rect_of(ui, app, name).center)
        assert_tint(ui, app, name, hovered=True)
        ui.pointer.move(*away)
        assert_tint(ui, app, name, hovered=False)
    # The settings menu closed with Escape after the pointer left.
    ui.open_settings_popup(app)
    ui.pointer.move(*away)
    ui.pointer.key("Escape")
    wait_for(lambda: not ui.settings_popup_rect(app), 5, "the settings popup to close")
    assert_tint(ui, app, "Settings", hovered=False)


def test_the_settings_menu_is_announced_row_by_row(ui):
    seen, event = [], "object:state-changed:focused"     # as a screen reader receives them
    listener = ui.a11y.Atspi.EventListener.new(lambda e: e.detail1 and seen.append(
        (e.source.get_process_id(), e.source.get_name(), e.source.get_role_name())))
    listener.register(event)
    ui.at_end(listener.deregister, event)

    def announced(pid, name):
        ui.a11y.pump()
        return (pid, name, "table cell") in seen

    app = ui.launch_ready()
    ui.open_settings_popup(app)
    for key, row in ((None, "Quality : Medium"), ("Down", "Contact Us"), ("Down", "Quit")):
        if key:
            ui.pointer.key(key)
        wait_for(lambda: announced(app.pid, row), 5, lambda: f"a focus event on {row!r}; seen {seen}")
    ui.pointer.key("Escape")
    wait_for(lambda: not ui.settings_popup_rect(app), 5, "the settings popup to close")
    assert [line for line in app.err_lines() if "accessib" in line.lower()] == [], app.report()


def test_escape_closes_the_popover_and_the_recording_goes_on(ui):
    app = ui.launch_ready()
    ui.start_recording(app, str(ui.new_folder() / "escape.caf"))
    # Opened from the icon, the popover has the keyboard (after the save dialog, a window manager
    # would give it back; the test desktop has none).
    ui.toggle(app, CLOSE, lambda: ui.click_tray_icon(app))
    time.sleep(CLICK_GAP)
    ui.toggle(app, OPEN, lambda: ui.click_tray_icon(app))
    ui.toggle(app, CLOSE, lambda: ui.pointer.key("Escape"))
    time.sleep(CLICK_GAP)
    ui.toggle(app, OPEN, lambda: ui.click_tray_icon(app))
    assert ui.widget(app, "Pause"), "the recording was paused or stopped"
    assert "stoppo la registrazione" not in app.lines(), app.report()
