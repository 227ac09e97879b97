"""What the status icon tells without opening the panel (its image, tooltip and status through
a recording), the save dialog opening in the last recording's folder after a relaunch, and the
icon's menu in the session's language."""

import os
import re
import shutil
import subprocess
import tempfile
import time

from harness import CLOSE, OPEN, PAUSED, RECORD_PRESSED, RECORDING_STARTED, SECONDS_PREFIX, SESSION_DIR, STARTUP, \
    STOPPED, wait_for
from statusbars import pick_pixmap


def reds(argb):
    """How many opaque, clearly red pixels ARGB32 bytes hold."""
    return sum(1 for i in range(0, len(argb), 4)
               if argb[i] > 128 and argb[i + 1] > 170 and argb[i + 2] < 100 and argb[i + 3] < 100)


def test_the_tray_icon_shows_a_red_dot_only_while_recording(ui, app):
    def reds_shown(name):
        r = ui.tray_icon_rect(app)
        rgba = subprocess.run(["convert", str(ui.screenshot(name)), "-crop", f"{r.width}x{r.height}+{r.x}+{r.y}",
                               "-depth", "8", "rgba:-"], capture_output=True, check=True, timeout=30).stdout
        return reds(bytes(rgba[i + k] for i in range(0, len(rgba), 4) for k in (3, 0, 1, 2)))

    assert reds_shown("idle") == 0
    ui.start_recording(app, ui.new_folder() / "take.caf")
    wait_for(lambda: reds_shown("recording") > 6, 5, "a red dot on the tray icon")

    # The tray asks for the tooltip on hover: it reads the time of that moment.
    ui.click_tray_icon(app)
    ui.wait_popover(app, shown=False)
    time.sleep(2.0)
    x, y = ui.tray_icon_rect(app).center
    ui.pointer.move(x, y)
    ui.pointer.move(x + 1, y + 1)     # Qt waits for the pointer to rest inside
    tip = ui.a11y.find(ui.a11y.application(app.pid), role="tool tip", name_prefix="Recording", showing=None, timeout=5)
    assert re.fullmatch(r"Recording 00 : 00 : 0[234]", tip.get_name()), tip.get_name()
    ui.pointer.move(0, 0)
    ui.click_tray_icon(app)
    ui.wait_popover(app)
    ui.stop_recording(app)
    wait_for(lambda: reds_shown("stopped") == 0, 5, "the red dot gone")


def test_the_item_follows_a_recording_and_the_dialog_reopens_in_its_folder(ui, status_bar, sni):
    bar = status_bar()
    env = {"XDG_CONFIG_HOME": tempfile.mkdtemp(prefix="config-", dir=SESSION_DIR)}
    app = ui.launch_ready(env=env)
    item = sni.wait_item(app.pid, timeout=5)

    def look():
        props = sni.properties(item)
        return props["ToolTip"][2], props["Status"], pick_pixmap(props["IconPixmap"], 22)[2], props["IconName"]

    # The icon's name is found in the build's copy of the icons, which the item names when it
    # runs from the build folder, or else among the installed ones.
    theme = sni.properties(item)["IconThemePath"] or "/usr/share/icons"
    assert os.path.isfile(f"{theme}/hicolor/symbolic/apps/{look()[3]}.svg"), (theme, look()[3])

    def toggle(lines):
        ui.toggle(app, lines, lambda: sni.item_call(item, "Activate", *bar.icon_rect(app.pid).center), quiet=0)

    idle = look()
    assert idle[:2] == ("Registratore", "Active") and idle[3] == "org.registratore.Registratore-symbolic"
    folder = ui.new_folder("takes ")
    ui.start_recording(app, folder / "one.caf")
    toggle(CLOSE)   # the panel's tick sleeps: the tooltip's own clock moves it on
    first = wait_for(lambda: (t := look()[0]).startswith("Recording") and t, 5, "a Recording tooltip")
    tip, status, icon, _ = wait_for(lambda: (s := look())[0] != first and s, 3, "the time to move on")
    assert re.fullmatch(r"Recording 00 : 00 : \d\d", tip), tip
    assert status == "NeedsAttention"     # the microphone is live
    assert reds(icon) > 6, "no red dot on the recording icon"
    assert look()[3] == "org.registratore.Registratore-recording-symbolic"

    toggle(OPEN)
    ui.press_record_button(app, "Pause", PAUSED)
    paused = wait_for(lambda: (s := look())[0].startswith("Paused") and s, 5, "a Paused tooltip")
    assert paused[1] == "Active" and reds(paused[2]) == 0 and paused[2] != idle[2]
    ui.stop_recording(app)
    wait_for(lambda: look() == idle, 5, "the idle item back")

    # Relaunched, the dialog opens where the recording went, until that folder is gone.
    app.stop()
    app = ui.launch_ready(env=env)
    home = os.environ["HOME"]
    for expected in ([str(folder)], [home + "/Music", home]):
        ui.open_save_dialog(app)
        # Its "Look in" box is named after the folder shown.
        assert ui.a11y.find(ui.a11y.application(app.pid), role="combo box", name_prefix="/").get_name() in expected
        ui.cancel_save_dialog(app)
        shutil.rmtree(folder, ignore_errors=True)


def test_an_italian_session_reads_the_menu_in_italian_and_the_log_stays_english(ui, status_bar, sni):
    status_bar()
    # Qt reads the language from the environment itself: no it_IT locale needs to be installed
    # (without one, Qt says on stderr that it keeps a UTF-8 C locale for the characters).
    italian = {"LANG": "it_IT.UTF-8", "LANGUAGE": "it", "LC_ALL": None, "LC_MESSAGES": None}
    app = ui.launch(env=italian)
    app.wait_lines(STARTUP, timeout=10)
    item = sni.wait_item(app.pid, timeout=5)
    menu = sni.properties(item)["Menu"]
    assert sni.menu_labels(item, menu) == ["Registratore", "Registrare", "Fermare", "Aprire il registratore",
                                           "Registrazioni recenti", None, "Qualità: Media", "Contattarci", None,
                                           "Avvia all’accesso", "Uscire"]

    # A short recording from the panel, in Italian, Qt's file dialog too: the log keeps its words.
    wait_for(lambda: ui.window_rect(app, "Registratore"), 10, "the panel")
    m = app.mark()
    ui.mic_tap()
    ui.click_widget(app, "Registrare")
    app.wait_lines(RECORD_PRESSED, since=m)
    wait_for(lambda: ui.window_rect(app, "Salvare la registrazione"), 10, "the save dialog")
    path = ui.new_folder("registrazioni ") / "prova.caf"
    ui.type_into_file_dialog(app, path, field_name="Nome del file")
    app.wait_lines(RECORDING_STARTED, since=m + len(RECORD_PRESSED))
    wait_for(lambda: sni.menu_labels(item, menu)[1] == "Mettere in pausa", 5, "Pause in Italian")
    time.sleep(1)
    m = app.mark()
    ui.click_widget(app, "Fermare")
    app.wait_lines(STOPPED, since=m)
    _, seconds = app.wait_line_prefix(SECONDS_PREFIX, since=m + len(STOPPED))
    assert re.fullmatch(SECONDS_PREFIX + r"\d+", seconds), seconds
    wait_for(path.is_file, 5, f"{path}")
