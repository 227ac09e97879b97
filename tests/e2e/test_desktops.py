"""The recorder as a new user meets it on the desktops most users run: GNOME Shell with the
AppIndicator extension (and without it) and KDE Plasma, both on Wayland (shells.py). They run
alone, under their own ctest labels (E2E_DESKTOP=gnome or kde, conftest.py). The app gets the
session's environment, as a desktop starts it: its windows go through Xwayland, so they are
found through the accessibility bus."""

import time

import pytest

from harness import CLOSE, FALLBACK_SENTENCE, NO_BAR_WAIT, OPEN, POPOVER_NAME, RECORDER_MENU, SESSION_DIR, STARTUP, \
    wait_for
from shells import APP_ID, APP_NAME, SCREEN, GnomeShell, KdePlasma
from sound import speak

pytestmark = pytest.mark.usefixtures("no_trayer")
NEAR_ICON = 150     # how far from its icon the recorder may open, in pixels
SPEECH = "one two three four five, this is a test of the recorder"


@pytest.fixture(scope="module")
def shell(request, desktop):
    """The desktop named by the test's parameter, started once for the tests that ask for it."""
    kind = {"gnome": GnomeShell, "kde": KdePlasma}[request.param]
    if missing := kind.missing():
        # Only its own label runs it: a machine without the desktop has not checked it.
        pytest.fail(missing)
    desktop.tray.stop()
    started = kind(SESSION_DIR)
    try:
        yield started.start()
    finally:
        started.stop()


@pytest.fixture(autouse=True)
def windows_on_xwayland(ui):
    ui.x_windows = False


@pytest.mark.parametrize("shell", ["gnome", "kde"], indirect=True)
def test_one_click_gives_the_recorder_at_the_icon_and_a_click_elsewhere_closes_it(ui, sni, shell):
    app = ui.launch(env=shell.app_env())
    item = sni.wait_item(app.pid, timeout=10)
    app.wait_lines(STARTUP, timeout=10)
    props = sni.properties(item)
    assert props["IconAccessibleDesc"] == "Registratore"
    assert sni.menu_labels(item, props["Menu"]) == RECORDER_MENU
    bar = shell.bar()
    bar_spot = (bar.x + bar.width * 2 // 5, bar.y + bar.height // 2)   # an empty part of the bar

    def click_icon(icon):
        """One click on our icon: the panel opens, or the icon's menu, whose entry opens it."""
        ui.click(icon)
        if shell.entry_role:
            entry = ui.a11y.extents(shell.accessible(ui.a11y, "Open Recorder", shell.entry_role))
            assert entry.distance(*icon.center) <= NEAR_ICON, f"menu entry {entry}, icon {icon}"
            ui.click(entry)

    for how, outside in (("at launch", (400, 400)), ("from the icon", bar_spot)):
        # Where our icon is now: the bar may have made room for its microphone-in-use indicator.
        icon = shell.icon_rect(ui.a11y)
        # GNOME's extension opens the icon's menu, whose Open Recorder is the app's own entry.
        opened = (["RiapriApp"] if shell.entry_role else []) + OPEN
        pop = ui.wait_popover(app) if how == "at launch" else ui.toggle(app, opened, lambda: click_icon(icon), quiet=0)
        ui.screenshot(f"{shell.name}-{how.replace(' ', '-')}")
        where = f"{how}: recorder {pop}, icon {icon}, bar {bar}"
        print(f"\n  {shell.name}, {how}: {pop.distance(*icon.center):.0f} px from the icon; {where}")
        assert pop.distance(*icon.center) <= NEAR_ICON, where
        assert pop.bottom <= bar.y or pop.y >= bar.bottom, f"over the bar: {where}"
        if how == "at launch":
            # The first click, on Record in the recorder that opened by itself, starts a
            # recording, which has the spoken words.
            path = ui.new_folder() / "from the status bar.caf"
            ui.start_recording(app, path)
            seconds = speak(SPEECH)
            ui.stop_recording(app)
            sound = ui.assert_recording(path, 24000)
            assert sound.loud_seconds(-35.0) >= 0.4 * seconds, f"{sound.seconds:.2f} s recorded"
        ui.toggle(app, CLOSE, lambda: ui.click(outside), quiet=0)
    if shell.name == "kde":      # not in the taskbar
        with pytest.raises(AssertionError):
            shell.accessible(ui.a11y, f"{POPOVER_NAME} \u2014 {APP_NAME}", "push button", timeout=2)

    # The item leaves the status bar cleanly; the shell said nothing about it meanwhile, nor
    # Qt's D-Bus about the item's or its menu's signals.
    app.stop()
    time.sleep(1.5)
    assert shell.errors() == []
    assert [line for line in app.err_lines() if "QDBus" in line or "Cannot relay" in line] == [], app.report()


@pytest.mark.parametrize("shell", ["gnome"], indirect=True)
def test_on_gnome_without_the_extension_the_panel_opens_in_a_window(ui, shell):
    shell.set_extension(False)
    ui.at_end(shell.set_extension, True)
    wait_for(lambda: not shell.has_status_bar(), 10, "the extension's watcher to go")
    app = ui.launch(env=shell.app_env())
    app.wait_err(lambda line: FALLBACK_SENTENCE in line, timeout=NO_BAR_WAIT + 5)
    window = ui.wait_popover(app)
    assert window.x >= 0 and window.bottom <= SCREEN[1] and window.y >= shell.bar().bottom, f"window {window}"
    # The shell knows the window as the application of its desktop file.
    wait_for(lambda: f"{APP_ID}.desktop" in shell.window_apps().values(), 10,
             f"the shell to tie a window to {APP_ID}.desktop")
