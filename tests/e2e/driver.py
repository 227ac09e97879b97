"""The steps of the desktop tests and the benchmark: a Desktop the whole run shares, and a Ui that
drives the recorder for one test.

    app = ui.launch_ready()                   # started, its popover open; stopped and judged at the end
    ui.click_tray_icon(app)                   # a real pointer click on our icon inside trayer
    ui.click_widget(app, "Record")            # found by accessible name, clicked with xdotool
    ui.start_recording(app, path)             # the save dialog, the path typed, confirmed
    ui.screenshot("popover-open")             # into the test's folder of artefacts
"""

import json
import re
import shutil
import sys
import tempfile
import time
from pathlib import Path

from harness import (CANCELED, OPEN, POPOVER_NAME, RECORD_PRESSED, RECORDING_STARTED, SAVE_DIALOG_TITLE,
                     SECONDS_PREFIX, SESSION_DIR, SETTINGS_OPENED, SETTINGS_POPUP_NAME, MENU_LOADED, SETTLE, STARTUP,
                     STOPPED, A11y, App, Pointer, Program, Tray, environment, run, screenshot, wait_for)
from sound import MIC_SINK, MicTap, decode, play
from xdesk import XDesk


class Desktop:
    """What the whole run shares: the X server, the accessibility bus, the pointer and trayer."""

    def __init__(self):
        self.x = XDesk()
        self.a11y = A11y()
        self.pointer = Pointer(self.x)
        self.tray = Tray(self.x)


def ffprobe(path):
    """ffprobe's view of a media file: {'format': {...}, 'streams': [...]}."""
    return json.loads(run(["ffprobe", "-v", "error", "-print_format", "json", "-show_format", "-show_streams",
                           str(path)], timeout=30).stdout)


class Ui:
    """Drives the recorder for one test: launches it, finds and clicks its widgets, records, and
    keeps what the test leaves behind in its folder of artefacts. finish() runs what was left for
    the test's end, last first: stopping and judging the apps, among others."""

    def __init__(self, desktop, artefacts, tap_on_record=True):
        self.x, self.a11y, self.pointer, self.tray = desktop.x, desktop.a11y, desktop.pointer, desktop.tray
        self.artefacts = Path(artefacts)
        shutil.rmtree(self.artefacts, ignore_errors=True)   # only this run's files
        self.artefacts.mkdir(parents=True, exist_ok=True)
        self.tap_on_record = tap_on_record
        self.x_windows = True       # off where the app's windows are on another X server or none
        self.apps, self._at_end, self._tap = [], [], None

    def at_end(self, function, *args, **kw):
        self._at_end.append((function, args, kw))

    def finish(self, failed=False):
        """Keeps the desktop as it was at a failure, runs what was left for the end, and keeps the
        apps' output (printed too when one of those steps fails, whose first failure it raises)."""
        if failed:
            self.keep_failure_state()
        errors = []
        while self._at_end:
            function, args, kw = self._at_end.pop()
            try:
                function(*args, **kw)
            except BaseException as e:
                errors.append(e)
        for app in self.apps:
            (self.artefacts / f"{app.name}-{app.pid}.log").write_text(app.report() + "\n")
            if errors:
                print(f"\n===== output of {app.name} ({app.pid}) =====\n{app.report()}", file=sys.stderr, flush=True)
        self.apps, self._tap = [], None
        if errors:
            raise errors[0]

    def keep_failure_state(self):
        """A screenshot, the X window tree and the apps' accessible trees."""
        try:
            screenshot(self.artefacts / "at-failure.png")
            tree = run(["xwininfo", "-root", "-tree"], timeout=10, check=False).stdout
            (self.artefacts / "x-windows.txt").write_text(tree)
            for app in self.apps:
                if app.running():
                    root = self.a11y.application(app.pid, timeout=2)
                    (self.artefacts / f"a11y-{app.pid}.txt").write_text(self.a11y.dump(root) + "\n")
        except Exception as e:      # diagnostics must not hide the failure itself
            print(f"could not save the failure's diagnostics: {e}", file=sys.stderr)

    # apps and other programs

    def use_trayer(self, wanted):
        if wanted:
            self.tray.start()
        else:
            self.tray.stop()

    def launch(self, env=None, name="registratore", binary=None, args=()):
        """Starts the app (with args), with an empty preferences folder of its own unless env names
        one (a variable of env set to None is left out); it is stopped and judged when the test ends."""
        env = env or {}
        if "XDG_CONFIG_HOME" not in env:
            env = {"XDG_CONFIG_HOME": tempfile.mkdtemp(prefix="config-", dir=SESSION_DIR), **env}
        app = App(environment(env), name, binary, args).start()
        self.apps.append(app)
        self.at_end(app.judge)
        return app

    def launch_ready(self, **kw):
        """Launches the app and waits for its popover, which opens by itself after launch."""
        app = self.launch(**kw)
        app.wait_lines(STARTUP, timeout=10)
        self.wait_popover(app)
        return app

    def start(self, program):
        """A Program of the test's, stopped when the test ends."""
        self.at_end(program.stop)
        return program

    def xlogo(self, geometry="200x200+80+420"):
        """Starts another X client, xlogo; returns its window's rectangle."""
        self.start(Program(["xlogo", "-geometry", geometry]))
        return self.x.geometry(wait_for(lambda: next(iter(self.x.windows_of_class("XLogo")), None), 10,
                                        "an XLogo window"))

    def new_folder(self, prefix="recordings "):
        """A new empty folder in the session (the default prefix puts a space in its path)."""
        return Path(tempfile.mkdtemp(prefix=prefix, dir=SESSION_DIR))

    def screenshot(self, name):
        return screenshot(self.artefacts / f"{name}.png")

    # windows, the pointer and the keyboard

    def window_rect(self, app, title):
        """The rectangle of the app's shown window of that title, or None. Without x_windows (a
        nested desktop's Xwayland, or Wayland) the window is found on the accessibility bus."""
        if not self.x_windows:
            shown = self.a11y.find_all(self.a11y.application(app.pid), name=title, showing=True)
            return self.a11y.extents(shown[0]) if shown else None
        w = self.x.windows_of(app.pid, title, viewable_only=True)
        return self.x.geometry(w[0]) if w else None

    def popover_rect(self, app):
        return self.window_rect(app, POPOVER_NAME)

    def wait_popover(self, app, shown=True, timeout=10.0):
        """Waits for the popover to be shown (returns its rectangle) or hidden."""
        return wait_for(lambda: self.popover_rect(app) if shown else self.popover_rect(app) is None, timeout,
                        lambda: f"the {POPOVER_NAME!r} window to be {'shown' if shown else 'hidden'}\n{app.report()}")

    def toggle(self, app, lines, do, why="", quiet=SETTLE):
        """do(), then the lines it must bring and nothing more for a while; waits for the popover
        to show or hide as the last line tells and returns what wait_popover() does."""
        m = app.mark()
        do()
        app.wait_lines(lines, since=m)
        if quiet:
            self.assert_quiet(app, m + len(lines), quiet, why)
        return self.wait_popover(app, lines[-1:] == OPEN)

    def assert_quiet(self, app, since, seconds=1.0, why=""):
        """Asserts that stdout gets no new line for a while after position since."""
        time.sleep(seconds)
        assert app.lines(since) == [], f"unexpected output{': ' + why if why else ''}\n{app.report()}"

    def tray_icon_rect(self, app, timeout=10.0):
        icons = wait_for(lambda: self.x.tray_icons(app.pid), timeout,
                         lambda: f"the app's icon inside the tray\n{app.report()}")
        return self.x.geometry(icons[0])

    def click(self, where, button=1):
        """Clicks the centre of a Rect, or a point; returns the monotonic time of the click."""
        return self.pointer.click(*getattr(where, "center", where), button=button)

    def click_tray_icon(self, app, button=1):
        self.click(self.tray_icon_rect(app), button)

    def widget(self, app, name, role="push button", timeout=10.0):
        root = self.a11y.application(app.pid, timeout)
        try:
            return self.a11y.find(root, name=name, role=role, timeout=timeout)
        except AssertionError as e:
            raise AssertionError(f"{e}\naccessible tree:\n{self.a11y.dump(root)}\n{app.report()}") from None

    def click_widget(self, app, name, role="push button", button=1):
        """Clicks the centre of a widget found by accessible name, with the real pointer."""
        acc = self.widget(app, name, role)
        self.click(self.a11y.extents(acc), button)
        return acc

    def label_text(self, app, name, hidden_is_none=False):
        """What a label of the panel shows, read through its accessible description (Qt 6.4 gives
        a QLabel no Text interface and its accessible name hides the text, so the app keeps the
        label's description equal to its text); with hidden_is_none, None when it is hidden."""
        labels = self.a11y.find_all(self.a11y.application(app.pid), name=name, role="label", showing=True)
        if not labels and hidden_is_none:
            return None
        text = self.a11y.text(labels[0] if labels else self.widget(app, name, role="label"))
        assert text is not None, f"the {name!r} label shows, but exposes no text to assistive technology"
        return text

    def elapsed_text(self, app):
        return self.label_text(app, "Elapsed time")

    def message_text(self, app):
        """What the panel's "Message" label shows, or None when it is hidden."""
        return self.label_text(app, "Message", hidden_is_none=True)

    # the save dialog and recording

    def file_name_field(self, app, field_name="File name", timeout=10.0):
        """The save dialog's file-name field. Qt's own dialog names it (field_name, in the app's
        language); KDE's, which Plasma 6 gives Qt programs, puts it in the combo box after its
        "Name:" label."""
        root = self.a11y.application(app.pid)

        def after(acc):
            return self.a11y.safely(lambda: acc.get_parent().get_child_at_index(acc.get_index_in_parent() + 1))

        def find():
            if fields := self.a11y.find_all(root, role="text", showing=True, name_prefix=field_name):
                return fields[0]
            for label in self.a11y.find_all(root, name="Name:", role="label", showing=True):
                if (combo := after(label)) is not None and self.a11y.has_role(combo, "combo box"):
                    return next(iter(self.a11y.find_all(combo, role="text", showing=True)), None)
            return None
        return wait_for(find, timeout, f"the save dialog's file-name field ({field_name!r}, or KDE's 'Name:')")

    def type_into_file_dialog(self, app, path, confirm_overwrite=False, accept=True, field_name="File name"):
        """Types a path into the file dialog's file-name field, for real, then Return (not with
        accept=False); with confirm_overwrite the "already exists" question is answered Yes.
        field_name: the field's name in the app's language."""
        root = self.a11y.application(app.pid)
        field = self.file_name_field(app, field_name)
        self.click(self.a11y.extents(field))
        self.pointer.key("ctrl+a")
        self.pointer.type_text(str(path))
        wait_for(lambda: self.a11y.text(field) == str(path), 5,
                 lambda: f"the file-name field to read {str(path)!r} (it reads {self.a11y.text(field)!r})")
        if accept:
            self.pointer.key("Return")
            if confirm_overwrite:
                self.click(self.a11y.extents(self.a11y.find(root, name="Yes", role="push button")))

    def save_dialog_rect(self, app):
        return self.window_rect(app, SAVE_DIALOG_TITLE)

    def open_save_dialog(self, app):
        """Presses Record in the ready state; returns the save dialog's file-name field."""
        m = app.mark()
        self.click_widget(app, "Record")
        app.wait_lines(RECORD_PRESSED, since=m)
        field = self.file_name_field(app)
        wait_for(lambda: self.save_dialog_rect(app), 10, f"the {SAVE_DIALOG_TITLE!r} window")
        return field

    def cancel_save_dialog(self, app):
        m = app.mark()
        self.click_widget(app, "Cancel")
        app.wait_lines(CANCELED, since=m)
        wait_for(lambda: not self.save_dialog_rect(app), 10, f"the {SAVE_DIALOG_TITLE!r} window to close")

    def mic_tap(self):
        """This test's tap on the microphone (sound.MicTap), started on first use, stopped at the
        end of the test. It is the virtual microphone's first reader, so that the app meets it as
        it would a sound card."""
        if self._tap is None:
            self._tap = MicTap()
            self.at_end(self._tap.stop)
        return self._tap

    def start_recording(self, app, path, confirm_overwrite=False):
        """Record, the path typed into the save dialog, confirmed; waits until the app says the
        recording started and the button reads Pause. Returns the (monotonic) time of that line.
        The microphone has its tap before the app opens it (unless tap_on_record is off)."""
        if self.tap_on_record:
            self.mic_tap()
        self.open_save_dialog(app)
        m = app.mark()
        self.type_into_file_dialog(app, path, confirm_overwrite=confirm_overwrite)
        times = app.wait_lines(RECORDING_STARTED, since=m)
        self.widget(app, "Pause")
        return app.seconds(times[1])

    def play(self, path, sink=MIC_SINK):
        """Plays a sound into the microphone in the background; it ends with the test."""
        player = play(path, sink, wait=False)
        self.at_end(lambda: player.poll() is None and player.kill())
        return player

    def record_tone(self, app, path, tone):
        """Starts a recording, then plays tone into the microphone half a second later; returns
        (the test's tap, monotonic time the recording started, player)."""
        t_start = self.start_recording(app, path)
        time.sleep(0.5)
        return self.mic_tap(), t_start, self.play(tone)

    def press_record_button(self, app, name, lines):
        """Presses the record button (Record or Pause) and waits for its lines; returns the
        (monotonic) time of the first."""
        m = app.mark()
        self.click_widget(app, name)
        return app.seconds(app.wait_lines(lines, since=m)[0])

    def stop_recording(self, app):
        """Presses Stop during a recording; returns (monotonic time of "stoppo la registrazione",
        N of "secondiegistrazione : N")."""
        m = app.mark()
        self.click_widget(app, "Stop")
        times = app.wait_lines(STOPPED, since=m)
        _, seconds_line = app.wait_line_prefix(SECONDS_PREFIX, since=m + len(STOPPED))
        # The lines come before the recorder completes the file: it first fetches what the sound
        # server still holds, waiting 400 ms at most.
        time.sleep(0.6)
        return app.seconds(times[1]), int(seconds_line[len(SECONDS_PREFIX):])

    def assert_recording(self, path, rate):
        """Asserts path is a CAF file of 16-bit little-endian mono PCM at rate; returns its
        decoded Sound."""
        assert Path(path).is_file(), f"no file {path}"
        info = ffprobe(path)
        assert len(info.get("streams", [])) == 1, info
        st = info["streams"][0]
        assert (info["format"]["format_name"], st["codec_name"], st["channels"], int(st["sample_rate"])) \
            == ("caf", "pcm_s16le", 1, rate), info
        sound = decode(path)
        assert sound.rate == rate
        # A file without a single sample has no duration at all.
        duration = float(info["format"].get("duration") or st.get("duration") or 0.0)
        assert abs(duration - sound.seconds) <= 0.05, f"ffprobe's duration and the decoded samples disagree: {info}"
        return sound

    # the settings popup (its rows are the cells of the table "Settings")

    def settings_popup_rect(self, app):
        return self.window_rect(app, "Settings")

    def open_settings_popup(self, app):
        """Clicks Settings; waits for the popup and the menu's lines. Returns the popup's accessible."""
        self.a11y.forget_shown()
        m = app.mark()
        self.click_widget(app, "Settings")
        popup = self.a11y.shown(app.pid, SETTINGS_POPUP_NAME)
        app.wait_lines(SETTINGS_OPENED, since=m)
        bounds = app.wait_line_prefix("bounds : ", since=m + 1)[1]
        assert re.fullmatch(r"bounds : \{\{0, 0\}, \{\d+, \d+\}\}", bounds), f"{bounds!r}\n{app.report()}"
        app.wait_lines(MENU_LOADED, since=m + 2)
        wait_for(lambda: self.settings_popup_rect(app), 10, "the settings popup's window")
        return popup

    def settings_cells(self, popup):
        popup.clear_cache()
        return self.a11y.find_all(self.a11y.find(popup, name="Settings", role="table", timeout=5), role="table cell")

    def settings_rows(self, popup):
        """The texts of the popup's rows, top to bottom."""
        return [c.get_name() for c in self.settings_cells(popup)]

    def click_settings_row(self, popup, row):
        self.click(self.a11y.extents(self.settings_cells(popup)[row]))
