"""End-to-end harness: drives the real registratore binary on the desktop that
desktop-session.sh sets up (Xvfb, trayer, AT-SPI, PulseAudio or PipeWire with a virtual
microphone). The tests run under pytest (conftest.py); E2ETestCase is their base class.

Everything that waits is bounded; a timeout raises AssertionError with what was seen.

    app = self.launch()                       # started, stdout/stderr captured with timestamps
    app.wait_line("mostro il traduttore")     # bounded wait for a log line
    self.click_tray_icon(app)                 # real pointer click on our icon inside trayer
    self.click_widget(app, "Record")          # AT-SPI lookup by accessible name, xdotool click
    self.screenshot("popover-open")           # into $E2E_ARTIFACTS/<test>/
    speak("one two three")                    # espeak-ng through paplay into the microphone
"""

import atexit
import json
import math
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import warnings
from array import array
from pathlib import Path

from xdesk import Rect, XDesk

E2E_DIR = Path(__file__).resolve().parent
REPO = E2E_DIR.parent.parent
ARTIFACTS = Path(os.environ.get("E2E_ARTIFACTS", REPO / "build" / "e2e-artifacts"))
SESSION_DIR = Path(os.environ.get("E2E_SESSION_DIR", tempfile.gettempdir()))
POPOVER_NAME = "Recorder"
SAVE_DIALOG_TITLE = "Save Recording"
SETTINGS_POPUP_NAME = "Settings menu"       # its accessible name; its window title is "Settings"

# What the app writes on stdout, in order.
STARTUP = ["Are we there yet?", "mostro il traduttore"]
CLOSE = ["chiudo il traduttore ModelData.shared.chiudo : Si", "posso chiudere il popup"]
CLOSE_REFUSED = "chiudo il traduttore ModelData.shared.chiudo : No"
OPEN = ["mostro il traduttore"]
RECORD_PRESSED = ["parte la registrazione", "createRecorder"]
PLUS_LINE = "+" * 39
RECORDING_STARTED = [PLUS_LINE, "è partita la registrazione"]
CANCELED = ["canceled", PLUS_LINE]
PAUSED = ["pausa registrazione"]
RESUMED = ["riavvio registrazione"]
STOPPED = ["stop", "stoppo la registrazione"]       # then "secondiegistrazione : N"
SECONDS_PREFIX = "secondiegistrazione : "
CREATE_FAILED = "Creation of AVAudioRecorder failed"
SETTINGS_OPENED = ["setting"]       # then "bounds : {{0, 0}, {w, h}}" and the menu's lines
MENU_LOADED = ["arrayMenu.count : 3"] + ["tableView(_ tableView: NSTableView", "configuro cella"] * 3

# Qt turns a second press within the double-click interval (400 ms on X11) into a double
# click, which a tray icon reports as DoubleClick rather than Trigger. Keep clicks apart.
CLICK_GAP = 0.6
SETTLE = 0.8            # quiet time after a toggle: catches a close that is undone at once
NO_BAR_WAIT = 3.0       # how long the app waits for a status bar before using a window
FALLBACK_SENTENCE = "no status bar"     # in what the app says when it opens in a window
SOUND_SERVER = os.environ.get("E2E_SOUND_SERVER", "pulseaudio")


def in_desktop_session():
    return bool(os.environ.get("DISPLAY") and os.environ.get("REGISTRATORE_E2E_SESSION"))


def artefacts_dir(test_id):
    """The folder of a test's screenshots and logs ("Class.test_name")."""
    return ARTIFACTS / test_id


def app_binary():
    return os.environ.get("REGISTRATORE_BIN") or str(REPO / "build" / "registratore")


def wait_for(predicate, timeout, what, interval=0.05):
    """Polls predicate until it returns something truthy and returns that; fails after timeout.

    what describes the awaited state; it may be a function, called only on failure.
    """
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout:g}s waiting for {what() if callable(what) else what}")
        time.sleep(interval)


def run(cmd, timeout=20, check=True, **kw):
    """Runs a helper program, bounded; returns CompletedProcess with text output."""
    try:
        r = subprocess.run(cmd, capture_output=True, text=True, timeout=timeout,
                           stdin=subprocess.DEVNULL, **kw)
    except subprocess.TimeoutExpired as e:
        raise AssertionError(f"{shlex.join(map(str, cmd))} did not finish in {timeout}s") from e
    if check and r.returncode != 0:
        raise AssertionError(f"{shlex.join(map(str, cmd))} exited {r.returncode}: {r.stderr.strip()}")
    return r


# --- the application process ---------------------------------------------------------------


class App:
    """The app under test, with stdout and stderr read line by line as they arrive.

    Each line is kept with its arrival time in seconds since launch. `mark()` returns a
    position in stdout; `lines(since)` and `wait_line(..., since=)` look only after it.
    """

    def __init__(self, binary=None, args=(), env=None, name="registratore"):
        self.binary = binary or app_binary()
        self.args = list(args)
        self.env = env
        self.name = name
        self.proc = None
        self.t_launch = None
        self._out = []   # (seconds since launch, text)
        self._err = []
        self._cond = threading.Condition()
        self._readers = []
        self.exited_by_itself = False
        self.killed = False
        self.stopped = False
        self.expect_exit = False    # set by a test in which the app quits on its own

    # lifecycle

    def start(self):
        if not os.access(self.binary, os.X_OK):
            raise AssertionError(f"the app binary {self.binary} is missing or not executable "
                                 "(build it, or set REGISTRATORE_BIN)")
        self.t_launch = time.monotonic()
        self.proc = subprocess.Popen([self.binary, *self.args], stdin=subprocess.DEVNULL,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                     env=self.env, start_new_session=True)
        for stream, sink in ((self.proc.stdout, self._out), (self.proc.stderr, self._err)):
            t = threading.Thread(target=self._read, args=(stream, sink), daemon=True)
            t.start()
            self._readers.append(t)
        return self

    def _read(self, stream, sink):
        for raw in iter(stream.readline, b""):
            t = time.monotonic() - self.t_launch
            with self._cond:
                sink.append((t, raw.decode("utf-8", "replace").rstrip("\r\n")))
                self._cond.notify_all()
        stream.close()

    @property
    def pid(self):
        return self.proc.pid

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def stop(self, timeout=5.0):
        """SIGTERM, then SIGKILL after timeout. Returns the exit status."""
        if self.proc is None:
            return None
        if self.stopped:
            return self.proc.returncode
        self.stopped = True
        self.exited_by_itself = self.proc.poll() is not None
        self.killed = False
        if self.proc.poll() is None:
            self._signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout)
            except subprocess.TimeoutExpired:
                self.killed = True
                self._signal(signal.SIGKILL)
                self.proc.wait(5)
        # The app's own process group may still hold helpers it started.
        self._signal(signal.SIGKILL)
        for t in self._readers:
            t.join(2)
        return self.proc.returncode

    def _signal(self, sig):
        try:
            os.killpg(self.proc.pid, sig)
        except (ProcessLookupError, PermissionError):
            pass

    def send_signal(self, sig):
        """Sends sig to the app's process only (not to helpers it started); returns the
        monotonic time at which it was sent."""
        t = time.monotonic()
        self.proc.send_signal(sig)
        return t

    def wait_exit(self, timeout=10.0):
        """Waits (bounded) for the app to end by itself or by a signal a test sent; returns
        its exit status (negative: the signal that ended it). The test judges the status, so
        the cleanup no longer does."""
        try:
            rc = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"{self.name} still running {timeout:g}s later\n{self.report()}") from None
        self.stopped = True
        self.exited_by_itself = True
        self._signal(signal.SIGKILL)    # helpers left in its process group
        for t in self._readers:
            t.join(2)
        return rc

    def seconds(self, t):
        """A time from the app's output (seconds since launch) as a time.monotonic() value."""
        return self.t_launch + t

    # output

    def mark(self):
        with self._cond:
            return len(self._out)

    def lines(self, since=0):
        with self._cond:
            return [text for _, text in self._out[since:]]

    def err_lines(self):
        with self._cond:
            return [text for _, text in self._err]

    def _wait(self, find, timeout, until_exit=True):
        """find() under the lock, again at each new line, until it is not None or timeout
        passes (or the app has ended and said all it will); returns its last value."""
        deadline = time.monotonic() + timeout
        with self._cond:
            while (hit := find()) is None:
                left = deadline - time.monotonic()
                if left <= 0 or (until_exit and not self.running() and not self._readers_alive()):
                    break
                self._cond.wait(min(left, 0.1))
            return hit

    def wait_line(self, text, timeout=10.0, since=0):
        """Waits for a stdout line equal to text after position since; returns (index, time)."""
        hit = self._wait(lambda: next(((i, self._out[i][0]) for i in range(since, len(self._out))
                                       if self._out[i][1] == text), None), timeout)
        if hit is None:
            raise AssertionError(f"no line {text!r} on stdout within {timeout:g}s"
                                 + ("" if self.running() else f" (app exited with {self.proc.returncode})")
                                 + "\n" + self.report())
        return hit

    def wait_line_prefix(self, prefix, timeout=10.0, since=0):
        """Waits for a stdout line starting with prefix after position since; returns (time, text)."""
        hit = self._wait(lambda: next(((t, x) for t, x in self._out[since:] if x.startswith(prefix)), None),
                         timeout)
        if hit is None:
            raise AssertionError(f"no line starting {prefix!r} on stdout within {timeout:g}s\n" + self.report())
        return hit

    def wait_lines(self, expected, timeout=10.0, since=0):
        """Waits until stdout after since starts with exactly the expected lines; returns their times."""
        self._wait(lambda: True if len(self._out) - since >= len(expected) else None, timeout)
        with self._cond:
            got = self._out[since:since + len(expected)]
        if [t for _, t in got] != list(expected):
            raise AssertionError(f"expected stdout lines {list(expected)!r}, got {[t for _, t in got]!r}"
                                 f" within {timeout:g}s\n" + self.report())
        return [t for t, _ in got]

    def wait_err(self, predicate, timeout=10.0):
        """Waits for a stderr line for which predicate(text) is true; returns it."""
        hit = self._wait(lambda: next((x for _, x in self._err if predicate(x)), None), timeout, until_exit=False)
        if hit is None:
            raise AssertionError(f"no matching line on stderr within {timeout:g}s\n" + self.report())
        return hit

    def _readers_alive(self):
        return any(t.is_alive() for t in self._readers)

    def report(self):
        with self._cond:
            out = "\n".join(f"  [{t:7.3f}] {s}" for t, s in self._out) or "  (nothing)"
            err = "\n".join(f"  [{t:7.3f}] {s}" for t, s in self._err) or "  (nothing)"
        status = "running" if self.running() else f"exited {self.proc.returncode}" if self.proc else "not started"
        return f"--- {self.name} ({status}) stdout:\n{out}\n--- {self.name} stderr:\n{err}"


# --- accessibility (AT-SPI) ----------------------------------------------------------------


class A11y:
    """Finds the app's widgets on the accessibility bus by accessible name and role."""

    def __init__(self):
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")     # gi's importer trips ImportWarning under unittest
            import gi
            gi.require_version("Atspi", "2.0")
            from gi.repository import Atspi, GLib
        self.Atspi = Atspi
        self.GLib = GLib
        # A hung app must not hang the test for D-Bus' default 25 s.
        Atspi.set_timeout(3000, 10000)
        self._shown = []        # sources of "showing" events: (pid, accessible)
        self._listener = None

    # Qt leaves popup windows (Qt::Popup) out of the application's accessible children, so a
    # popup is found through the event it sends when it shows. Toolkits send events only once
    # someone listens, so listen() is called before any app starts.

    def listen(self):
        if self._listener is not None:
            return

        def on_event(event):
            try:
                if event.detail1:
                    self._shown.append((event.source.get_process_id(), event.source))
            except Exception:
                pass        # the sender is already gone
        self._listener = self.Atspi.EventListener.new(on_event)
        self._listener.register("object:state-changed:showing")

    def _pump(self):
        context = self.GLib.MainContext.default()
        while context.iteration(False):
            pass

    def forget_shown(self):
        """Drops the events received so far: what shows afterwards is new."""
        self._pump()
        self._shown.clear()

    def shown(self, pid, name, timeout=10.0):
        """An accessible of process pid named name that reported showing since the last
        forget_shown() and is showing now; polled."""
        def find():
            self._pump()
            for p, acc in reversed(self._shown):
                try:
                    if p == pid and acc.get_name() == name and self.is_showing(acc):
                        return acc
                except Exception:
                    continue
            return None
        return wait_for(find, timeout, f"accessible {name!r} of process {pid} to show")

    def application(self, pid, timeout=10.0):
        def find():
            desktop = self.Atspi.get_desktop(0)
            for i in range(desktop.get_child_count()):
                a = desktop.get_child_at_index(i)
                try:
                    if a is not None and a.get_process_id() == pid:
                        a.set_cache_mask(self.Atspi.Cache.NONE)
                        return a
                except Exception:
                    continue
            return None
        return wait_for(find, timeout, f"process {pid} on the accessibility bus")

    def descendants(self, acc, max_depth=40):
        stack = [(acc, 0)]
        while stack:
            a, depth = stack.pop()
            if depth > max_depth:
                continue
            try:
                n = a.get_child_count()
            except Exception:
                continue
            kids = []
            for i in range(n):
                try:
                    c = a.get_child_at_index(i)
                except Exception:
                    c = None
                if c is not None:
                    kids.append(c)
            for c in kids:
                yield c
            stack.extend((c, depth + 1) for c in reversed(kids))

    def has_role(self, acc, role):
        """Whether `acc` has the role named `role` ("push button"). Compared by the role's value:
        the names differ between at-spi2 releases (Debian 13 calls a push button "button")."""
        return acc.get_role() == getattr(self.Atspi.Role, role.upper().replace(" ", "_"))

    def find_all(self, root, name=None, role=None, showing=None, name_prefix=None):
        out = []
        for a in self.descendants(root):
            try:
                if name is not None and a.get_name() != name:
                    continue
                if name_prefix is not None and not (a.get_name() or "").startswith(name_prefix):
                    continue
                if role is not None and not self.has_role(a, role):
                    continue
                if showing is not None and self.is_showing(a) != showing:
                    continue
            except Exception:
                continue
            out.append(a)
        return out

    def find(self, root, name=None, role=None, timeout=10.0, showing=True, name_prefix=None):
        """The first descendant with that name/role (showing on screen by default), polled."""
        label = " ".join(x for x in (role, repr(name) if name else None,
                                     f"{name_prefix!r}..." if name_prefix else None) if x)
        return wait_for(lambda: next(iter(self.find_all(root, name, role, showing, name_prefix)), None),
                        timeout, f"accessible {label}")

    def is_showing(self, acc):
        try:
            return acc.get_state_set().contains(self.Atspi.StateType.SHOWING)
        except Exception:
            return False

    def extents(self, acc):
        e = acc.get_extents(self.Atspi.CoordType.SCREEN)
        return Rect(e.x, e.y, e.width, e.height)

    def text(self, acc):
        """The text a widget shows, or None when the toolkit does not expose it.

        Qt 6.4 gives a QLabel no Text interface, and its accessible name replaces the text;
        a label whose name is set shows its text to assistive technology only through its
        accessible description, which the app keeps equal to the text.
        """
        Atspi = self.Atspi
        try:
            if "Text" in acc.get_interfaces():
                return Atspi.Text.get_text(acc, 0, Atspi.Text.get_character_count(acc))
        except Exception:
            pass
        try:
            return acc.get_description() or None
        except Exception:
            return None

    def dump(self, acc, depth=0):
        """The accessible tree as text, for failure messages."""
        lines = []

        def rec(a, d):
            try:
                ext = "" if a.get_role_name() == "application" else f" {self.extents(a)}"
                lines.append(f"{'  ' * d}{a.get_role_name()} {a.get_name()!r}{ext}"
                             f"{' showing' if self.is_showing(a) else ''}")
                for i in range(a.get_child_count()):
                    c = a.get_child_at_index(i)
                    if c is not None:
                        rec(c, d + 1)
            except Exception as e:
                lines.append(f"{'  ' * d}<{e}>")
        rec(acc, depth)
        return "\n".join(lines)


# --- input and screen ----------------------------------------------------------------------


class Pointer:
    """Real pointer and keyboard input through XTEST (xdotool)."""

    def __init__(self, x):
        self.x = x
        self._last_click = 0.0

    def click(self, x, y, button=1):
        gap = CLICK_GAP - (time.monotonic() - self._last_click)
        if gap > 0:
            time.sleep(gap)
        self.move(x, y)
        run(["xdotool", "click", str(button)], timeout=10)
        self._last_click = time.monotonic()

    def move(self, x, y):
        # Not `mousemove --sync`: it waits for motion forever when the pointer is already there.
        x, y = int(x), int(y)
        run(["xdotool", "mousemove", str(x), str(y)], timeout=10)
        wait_for(lambda: self.x.pointer() == (x, y), 5, f"the pointer to reach {x},{y}", interval=0.01)

    def type_text(self, text, delay_ms=15):
        run(["xdotool", "type", "--clearmodifiers", "--delay", str(delay_ms), "--", text],
            timeout=10 + len(text) * delay_ms / 1000 * 3)

    def key(self, *keys):
        run(["xdotool", "key", "--clearmodifiers", *keys], timeout=10)


def screenshot(path):
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    run(["import", "-window", "root", str(path)], timeout=30)
    return path


# --- trayer --------------------------------------------------------------------------------


class Tray:
    """The XEmbed tray host started by desktop-session.sh; tests may stop and restart it."""

    def __init__(self, x):
        self.x = x
        self.pidfile = Path(os.environ.get("E2E_TRAYER_PIDFILE", SESSION_DIR / "trayer.pid"))
        self.args = shlex.split(os.environ.get("E2E_TRAYER_ARGS", ""))
        self.log = os.environ.get("E2E_TRAYER_LOG", os.devnull)

    def running(self):
        return self.x.tray_owner() is not None

    def stop(self, timeout=10.0):
        try:
            pid = int(self.pidfile.read_text().strip())
        except (OSError, ValueError):
            pid = None
        if pid is not None:
            for sig in (signal.SIGTERM, signal.SIGKILL):
                try:
                    os.killpg(pid, sig)
                except ProcessLookupError:
                    break
                try:
                    wait_for(lambda: not _alive(pid), timeout / 2, f"trayer ({pid}) to exit")
                    break
                except AssertionError:
                    continue
            _reap(pid)
            self.pidfile.unlink(missing_ok=True)
        wait_for(lambda: not self.running(), timeout, "the system tray selection to be released")

    def start(self, timeout=20.0):
        if self.running():
            return
        if not self.args:
            raise AssertionError("E2E_TRAYER_ARGS is not set: run under desktop-session.sh")
        with open(self.log, "ab") as log:
            # Through sh, as desktop-session.sh does: the log tells if trayer ends by itself.
            p = subprocess.Popen(["sh", "-c", 'trayer "$@"; echo "trayer exited with status $? at $(date +%T.%N)"',
                                  "trayer", *self.args], stdin=subprocess.DEVNULL, stdout=log,
                                 stderr=log, start_new_session=True,
                                 env={**os.environ, "NO_AT_BRIDGE": "1"})
        self.pidfile.write_text(f"{p.pid}\n")
        wait_for(lambda: self.running() and self.x.tray_panel() is not None, timeout,
                 "trayer to own the system tray")


def _tail(path, lines=20):
    try:
        return "\n".join(Path(path).read_text(errors="replace").splitlines()[-lines:])
    except OSError:
        return "(no log)"


def _alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    # A zombie child of ours counts as gone.
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def _reap(pid):
    try:
        os.waitpid(pid, os.WNOHANG)
    except ChildProcessError:
        pass


# --- sound ---------------------------------------------------------------------------------

MIC_SINK = "vmic_sink"      # what is played here is heard by the default input "vmic"
MIC2_SINK = "vmic2_sink"    # feeds the second input "vmic2"


def speech_wav(text, path=None, voice="en", words_per_minute=150):
    """Writes text spoken by espeak-ng into a WAV file; returns (path, seconds)."""
    if path is None:
        fd, path = tempfile.mkstemp(suffix=".wav", dir=SESSION_DIR)
        os.close(fd)
    run(["espeak-ng", "-v", voice, "-s", str(words_per_minute), "-w", str(path), text], timeout=30)
    return Path(path), wav_seconds(path)


def tone_wav(path, seconds, frequency=440, rate=48000, gain_db=-6):
    """Writes a sine tone with sox; returns the path."""
    run(["sox", "-n", "-r", str(rate), "-c", "1", "-b", "16", str(path),
         "synth", str(seconds), "sine", str(frequency), "gain", str(gain_db)], timeout=30)
    return Path(path)


def wav_seconds(path):
    return float(run(["soxi", "-D", str(path)], timeout=10).stdout.strip())


def play(path, sink=MIC_SINK, wait=True):
    """Plays a sound file into a sink (by default: into the virtual microphone).

    With wait=False returns the running paplay; the caller waits for it (bounded) or kills it.
    """
    # A null sink renders ahead by its client's latency (2 s by default), so a recording
    # started at the same moment would hear the sound in 2-second bursts: keep it short.
    cmd = ["paplay", "--latency-msec=50", "-d", sink, str(path)]
    if wait:
        run(cmd, timeout=wav_seconds(path) + 20)
        return None
    return subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE)


def speak(text, sink=MIC_SINK, wait=True, voice="en"):
    """Speaks text into the virtual microphone; returns its duration in seconds (and the
    running paplay when wait=False)."""
    path, seconds = speech_wav(text, voice=voice)
    p = play(path, sink, wait)
    return seconds if wait else (seconds, p)


def set_default_source(name):
    run(["pactl", "set-default-source", name], timeout=10)
    wait_for(lambda: run(["pactl", "get-default-source"], timeout=10).stdout.strip() == name,
             5, f"default source {name}")


def ffprobe(path):
    """ffprobe's view of a media file: {'format': {...}, 'streams': [...]}."""
    r = run(["ffprobe", "-v", "error", "-print_format", "json", "-show_format", "-show_streams",
             str(path)], timeout=30)
    return json.loads(r.stdout)


class Sound:
    """A recording's samples (16-bit mono, as integers) and its sample rate, for measuring."""

    def __init__(self, samples, rate):
        self.samples = samples
        self.rate = rate

    @property
    def seconds(self):
        return len(self.samples) / self.rate

    def _range(self, start, end):
        a = max(0, int(round(start * self.rate)))
        b = len(self.samples) if end is None else min(len(self.samples), int(round(end * self.rate)))
        return a, max(a, b)

    def dbfs(self, start=0.0, end=None):
        """RMS level between two times (seconds), in dB relative to full scale; -inf if silent."""
        a, b = self._range(start, end)
        if b <= a:
            return float("-inf")
        energy = sum(v * v for v in self.samples[a:b]) / (b - a)
        return 10 * math.log10(energy / (32768.0 ** 2)) if energy > 0 else float("-inf")

    def levels(self, window=0.05):
        """[(start time, dBFS)] of consecutive windows."""
        n = max(1, int(self.rate * window))
        return [(i / self.rate, self.dbfs(i / self.rate, (i + n) / self.rate))
                for i in range(0, len(self.samples) - n + 1, n)]

    def loud_seconds(self, threshold_db=-35.0, window=0.05, start=0.0, end=None):
        """How long the sound stays above threshold_db between two times (window resolution)."""
        return sum(window for t, db in self.levels(window)
                   if db > threshold_db and t >= start and (end is None or t + window <= end))

    def first_loud(self, threshold_db=-30.0, window=0.002, lasting=0.0):
        """The start time of the first window above threshold_db that begins `lasting` seconds
        of such windows, or None."""
        levels, run = self.levels(window), max(1, round(lasting / window))
        loud = [db > threshold_db for _, db in levels]
        for i in range(len(levels) - run + 1):
            if all(loud[i:i + run]):
                return levels[i][0]
        return None

    def frequency(self, start=0.0, end=None):
        """The frequency of a pure tone between two times, from its zero crossings (Hz)."""
        a, b = self._range(start, end)
        part = self.samples[a:b]
        crossings = sum(1 for x, y in zip(part, part[1:]) if (x < 0) != (y < 0))
        return crossings / 2 / ((b - a) / self.rate) if b > a else 0.0


class MicTap:
    """A second, independent recorder on a microphone (parec), which notes when each piece of
    sound reaches it: it ties positions in a recording to the clock (time.monotonic()).

    A piece arrives after its last sample was captured, so the earliest arrival, less the
    length of sound before it, tells when the first sample was captured: `at(p)` is the time
    sound at position p (seconds into the tap) was at the microphone, to within a few ms.

    It asks for 20 ms pieces, like a sound card's period. A null sink renders ahead of the clock
    in blocks as long as the shortest latency its monitor's readers ask for: with the tap there,
    the app gets what was played in the last 20 ms, not up to a quarter second still to come.
    """

    def __init__(self, source="vmic", rate=24000, latency_ms=20):
        self.rate = rate
        self._data = bytearray()
        self._arrivals = []         # (monotonic time, samples received so far)
        self._lock = threading.Lock()
        self.proc = subprocess.Popen(
            ["parec", "-d", source, "--raw", "--format=s16le", f"--rate={rate}", "--channels=1",
             f"--latency-msec={latency_ms}"],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        fd = self.proc.stdout.fileno()
        while True:
            chunk = os.read(fd, 1 << 16)
            t = time.monotonic()
            if not chunk:
                break
            with self._lock:
                self._data += chunk
                self._arrivals.append((t, len(self._data) // 2))

    def wait_running(self, timeout=5.0):
        wait_for(lambda: self._arrivals, timeout, "the microphone tap's first sound")
        return self

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(5)
        self._reader.join(5)
        self.proc.stdout.close()

    def sound(self):
        with self._lock:
            samples = array("h")
            samples.frombytes(bytes(self._data[:len(self._data) // 2 * 2]))
        if sys.byteorder == "big":
            samples.byteswap()
        return Sound(samples, self.rate)

    def at(self, position):
        """The time (time.monotonic()) at which the sound position seconds into the tap was
        at the microphone."""
        with self._lock:
            start = min(t - n / self.rate for t, n in self._arrivals)
        return start + position


def recording_start(tap, sound, threshold_db=-30.0):
    """When (time.monotonic()) a recording's first sample was at the microphone, from the
    first sound above threshold_db that both the recording and the tap heard; None if either
    heard nothing. A sound counts once it lasts 50 ms: on PipeWire a tap can begin with a
    blip of what its microphone played before."""
    heard, onset = (s.first_loud(threshold_db, lasting=0.05) for s in (tap.sound(), sound))
    return None if heard is None or onset is None else tap.at(heard) - onset


def decode(path):
    """A sound file's samples as a Sound (decoded by sox into 16-bit mono)."""
    rate = int(float(run(["soxi", "-r", str(path)], timeout=10).stdout.strip()))
    cmd = ["sox", str(path), "-t", "raw", "-e", "signed-integer", "-b", "16", "-c", "1", "-L", "-"]
    try:
        r = subprocess.run(cmd, capture_output=True, timeout=60, stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired as e:
        raise AssertionError(f"{shlex.join(cmd)} did not finish in 60s") from e
    if r.returncode != 0:
        raise AssertionError(f"{shlex.join(cmd)} exited {r.returncode}: {r.stderr.decode(errors='replace')}")
    samples = array("h")
    samples.frombytes(r.stdout[:len(r.stdout) // 2 * 2])
    if sys.byteorder == "big":
        samples.byteswap()
    return Sound(samples, rate)


# --- what a test leaves behind, and how an app must end -------------------------------------


def app_env(fresh_config=True, extra=None):
    """The environment of an app launch; fresh_config gives it an empty preferences folder, and
    a variable of extra set to None is left out."""
    e = dict(os.environ)
    if fresh_config:
        e["XDG_CONFIG_HOME"] = tempfile.mkdtemp(prefix="config-", dir=SESSION_DIR)
    e.update(extra or {})
    return {k: v for k, v in e.items() if v is not None}


def stop_and_judge(app):
    """Stops the app; a crash, a hang on SIGTERM or a failing exit status is an AssertionError."""
    if app.stopped:         # the test stopped it and judged the outcome itself
        return
    rc = app.stop()
    if app.killed:
        raise AssertionError(f"{app.name} did not exit within 5 s of SIGTERM\n{app.report()}")
    if app.exited_by_itself and not app.expect_exit:
        raise AssertionError(f"{app.name} exited by itself with status {rc} during the test\n{app.report()}")
    if rc not in (0, -signal.SIGTERM, 128 + signal.SIGTERM):
        how = f"signal {signal.Signals(-rc).name}" if rc < 0 else f"status {rc}"
        raise AssertionError(f"{app.name} ended with {how} on SIGTERM\n{app.report()}")


def keep_app_log(folder, app, failed):
    """Writes the app's output into folder; on a failure also to stderr (pytest shows it)."""
    if app.proc is None:
        return
    text = app.report()
    folder.mkdir(parents=True, exist_ok=True)
    (folder / f"{app.name}-{app.pid}.log").write_text(text + "\n")
    if failed:
        print(f"\n===== output of {app.name} ({app.pid}) =====\n{text}", file=sys.stderr, flush=True)


def keep_failure_state(folder, x, a11y, apps):
    """A screenshot, the X window tree and the apps' accessible trees, at a failure."""
    try:
        screenshot(folder / "at-failure.png")
        tree = run(["xwininfo", "-root", "-tree"], timeout=10, check=False).stdout
        (folder / "x-windows.txt").write_text(tree)
        for app in apps:
            if app.running():
                root = a11y.application(app.pid, timeout=2)
                (folder / f"a11y-{app.pid}.txt").write_text(a11y.dump(root) + "\n")
    except Exception as e:      # diagnostics must not hide the failure itself
        print(f"could not save the failure's diagnostics: {e}", file=sys.stderr)


# --- the test case base --------------------------------------------------------------------


class E2ETestCase(unittest.TestCase):
    """Base for the desktop tests: launches the app, finds and clicks things, keeps artefacts.

    Apps launched through self.launch() are stopped at the end of the test; their stdout
    and stderr are kept in the test's artefacts folder (conftest.py keeps it only when the
    test fails) and printed when it fails.
    """

    x = None
    a11y = None
    pointer = None
    tray = None

    @classmethod
    def setUpClass(cls):
        if not in_desktop_session():
            raise unittest.SkipTest("not inside tests/e2e/desktop-session.sh")
        E2ETestCase._shared()
        if not cls.tray.running():
            cls.tray.start()

    @staticmethod
    def _shared():
        if E2ETestCase.x is None:
            E2ETestCase.x = XDesk()
            atexit.register(E2ETestCase.x.close)
            E2ETestCase.a11y = A11y()
            E2ETestCase.a11y.listen()
            E2ETestCase.pointer = Pointer(E2ETestCase.x)
            E2ETestCase.tray = Tray(E2ETestCase.x)

    def setUp(self):
        self.apps = []
        self._apps_seen = []    # older tests add their own App here too; kept like self.apps
        self.artefacts = artefacts_dir(self.id().split(".", 1)[-1])
        shutil.rmtree(self.artefacts, ignore_errors=True)   # only this run's files
        self.artefacts.mkdir(parents=True, exist_ok=True)
        self.addCleanup(self._keep_app_logs)    # runs last, after the apps have stopped
        if not self.tray.running():
            # It died during an earlier test (that test has failed): give this one a tray.
            print(f"\n{self.id()}: the tray host was gone; restarting it. Its log:\n"
                  + _tail(self.tray.log), file=sys.stderr, flush=True)
            self.tray.start()

    _failed = False

    def _failed_so_far(self):
        return self._failed

    # Note a failure as it happens, so that tearDown and the cleanups know of it.
    def _callTestMethod(self, method):
        try:
            super()._callTestMethod(method)
        except BaseException:
            self._failed = True
            raise

    def _callCleanup(self, function, *args, **kwargs):
        try:
            function(*args, **kwargs)
        except BaseException:
            self._failed = True
            raise

    def tearDown(self):
        # Before the cleanups stop the apps: keep what the desktop looked like at the failure.
        if self._failed_so_far():
            keep_failure_state(self.artefacts, self.x, self.a11y, self.apps)

    def _keep_app_logs(self):
        for app in dict.fromkeys(self.apps + self._apps_seen):
            keep_app_log(self.artefacts, app, self._failed_so_far())

    # apps

    def launch(self, args=(), fresh_config=True, env=None, name="registratore"):
        """Starts the app; it is stopped when the test ends.

        fresh_config gives this launch an empty preferences folder of its own.
        """
        app = App(args=args, env=app_env(fresh_config, env), name=name)
        self.apps.append(app)
        app.start()
        self.addCleanup(self._stop_app, app)
        return app

    def _stop_app(self, app):
        stop_and_judge(app)

    def start_x_client(self, geometry="200x200+80+420", wm_class="XLogo", cmd=None):
        """Starts another X client (xlogo by default); returns (process, its window's Rect)."""
        cmd = cmd or ["xlogo", "-geometry", geometry]
        p = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, start_new_session=True)

        def stop():
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait(5)
        self.addCleanup(stop)
        win = wait_for(lambda: next(iter(self.x.windows_of_class(wm_class)), None), 10,
                       f"a {wm_class} window")
        return p, self.x.geometry(win)

    # windows

    def popover_windows(self, app, viewable_only=True):
        return self.x.windows_of(app.pid, POPOVER_NAME, viewable_only=viewable_only)

    def popover_rect(self, app):
        """The popover's rectangle if it is on screen, else None."""
        w = self.popover_windows(app)
        return self.x.geometry(w[0]) if w else None

    def wait_popover_shown(self, app, timeout=10.0):
        return wait_for(lambda: self.popover_rect(app), timeout,
                        lambda: f"the {POPOVER_NAME!r} window to be shown\n{app.report()}")

    def wait_popover_hidden(self, app, timeout=10.0):
        wait_for(lambda: not self.popover_windows(app), timeout,
                 lambda: f"the {POPOVER_NAME!r} window to be hidden\n{app.report()}")

    def tray_icon_rect(self, app, timeout=10.0):
        icons = wait_for(lambda: self.x.tray_icons(app.pid), timeout,
                         lambda: f"the app's icon inside the tray\n{app.report()}")
        return self.x.geometry(icons[0])

    # input

    def click_at(self, x, y, button=1):
        self.pointer.click(x, y, button)

    def click_rect(self, rect, button=1):
        self.pointer.click(*rect.center, button=button)

    def click_tray_icon(self, app, button=1):
        self.click_rect(self.tray_icon_rect(app), button)

    def widget(self, app, name, role="push button", timeout=10.0, **kw):
        root = self.a11y.application(app.pid, timeout)
        try:
            return self.a11y.find(root, name=name, role=role, timeout=timeout, **kw)
        except AssertionError as e:
            raise AssertionError(f"{e}\naccessible tree:\n{self.a11y.dump(root)}\n{app.report()}") from None

    def click_widget(self, app, name, role="push button", button=1, timeout=10.0):
        """Clicks the centre of a widget found by accessible name, with the real pointer."""
        acc = self.widget(app, name, role, timeout)
        self.click_rect(self.a11y.extents(acc), button)
        return acc

    def elapsed_text(self, app):
        """What the "Elapsed time" label shows, read through its accessible description."""
        label = self.widget(app, "Elapsed time", role="label")
        text = self.a11y.text(label)
        if text is None:
            raise AssertionError('the "Elapsed time" label exposes no text: Qt 6.4 gives a QLabel no '
                                 "Text interface and its accessible name hides the text, so the app "
                                 "must keep the label's accessible description equal to its text")
        return text

    def type_into_file_dialog(self, app, path, timeout=10.0, confirm_overwrite=False, accept=True):
        """Types a path into a Qt (non-native) file dialog's file-name field and accepts it.

        The field is the dialog's line edit labelled "File name:"; the path is typed for
        real, then Return (not with accept=False). With confirm_overwrite the "already exists"
        question is answered Yes.
        """
        root = self.a11y.application(app.pid, timeout)
        field = self.a11y.find(root, role="text", name_prefix="File name", timeout=timeout)
        self.click_rect(self.a11y.extents(field))
        self.pointer.key("ctrl+a")
        self.pointer.type_text(str(path))
        wait_for(lambda: self.a11y.text(field) == str(path), 5,
                 lambda: f"the file-name field to read {str(path)!r} (it reads {self.a11y.text(field)!r})")
        if not accept:
            return
        self.pointer.key("Return")
        if confirm_overwrite:
            yes = self.a11y.find(root, name="Yes", role="push button", timeout=timeout)
            self.click_rect(self.a11y.extents(yes))

    # the recorder panel

    def launch_ready(self, **kw):
        """Launches the app and waits for its popover, which opens by itself after launch."""
        app = self.launch(**kw)
        app.wait_lines(STARTUP, timeout=10)
        self.wait_popover_shown(app)
        return app

    def save_dialog_rect(self, app):
        w = self.x.windows_of(app.pid, SAVE_DIALOG_TITLE, viewable_only=True)
        return self.x.geometry(w[0]) if w else None

    def open_save_dialog(self, app):
        """Presses Record in the ready state; returns the save dialog's file-name field."""
        m = app.mark()
        self.click_widget(app, "Record")
        app.wait_lines(RECORD_PRESSED, since=m)
        root = self.a11y.application(app.pid)
        field = self.a11y.find(root, role="text", name_prefix="File name")
        wait_for(lambda: self.save_dialog_rect(app), 10, f"the {SAVE_DIALOG_TITLE!r} window")
        return field

    def cancel_save_dialog(self, app):
        m = app.mark()
        self.click_widget(app, "Cancel")
        app.wait_lines(CANCELED, since=m)
        wait_for(lambda: not self.save_dialog_rect(app), 10, f"the {SAVE_DIALOG_TITLE!r} window to close")

    _tap = None

    def mic_tap(self):
        """This test's independent tap on the microphone, started on first use and stopped at
        the end of the test. Besides tying sound to the clock, it is the virtual microphone's
        first reader: PulseAudio's null sink, whose monitor hands a reader that connects as a
        player starts less than was played, then behaves like a sound card for the app."""
        if self._tap is None:
            self._tap = MicTap().wait_running()
            self.addCleanup(self._tap.stop)
        return self._tap

    def start_recording(self, app, path, confirm_overwrite=False):
        """Record, the path typed into the save dialog, confirmed; waits until the app says the
        recording started and the button reads Pause. Returns the (monotonic) time of that line.
        The microphone has its tap (mic_tap()) before the app opens it."""
        self.mic_tap()
        self.open_save_dialog(app)
        m = app.mark()
        self.type_into_file_dialog(app, path, confirm_overwrite=confirm_overwrite)
        times = app.wait_lines(RECORDING_STARTED, since=m)
        self.widget(app, "Pause")
        return app.seconds(times[1])

    def record_tone(self, app, path, tone):
        """Starts a recording, then plays `tone` into the microphone half a second later;
        returns (the test's tap, monotonic time the recording started, player)."""
        t_start = self.start_recording(app, path)
        time.sleep(0.5)
        player = play(tone, wait=False)
        self.addCleanup(lambda: player.poll() is None and player.kill())
        return self.mic_tap(), t_start, player

    def press_record_button(self, app, expect_name, lines):
        """Presses the record button (Record or Pause) and waits for its lines; returns the
        (monotonic) time of the first."""
        m = app.mark()
        self.click_widget(app, expect_name)
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

    def message_text(self, app):
        """What the panel's "Message" label shows, or None when it is hidden."""
        root = self.a11y.application(app.pid)
        labels = self.a11y.find_all(root, name="Message", role="label", showing=True)
        if not labels:
            return None
        text = self.a11y.text(labels[0])
        if text is None:
            raise AssertionError('the "Message" label shows, but exposes no text to assistive '
                                 "technology: Qt 6.4 hides a named QLabel's text, so the app must "
                                 "keep the label's accessible description equal to its text")
        return text

    # the settings popup (its rows are the cells of the table "Settings")

    def settings_popup_rect(self, app):
        w = self.x.windows_of(app.pid, "Settings", viewable_only=True)
        return self.x.geometry(w[0]) if w else None

    def open_settings_popup(self, app):
        """Clicks Settings; waits for the popup and the menu's lines. Returns the popup's accessible."""
        self.a11y.forget_shown()
        m = app.mark()
        self.click_widget(app, "Settings")
        popup = self.a11y.shown(app.pid, SETTINGS_POPUP_NAME)
        app.wait_lines(SETTINGS_OPENED, since=m)
        bounds = app.wait_line_prefix("bounds : ", since=m + 1)[1]
        if not re.fullmatch(r"bounds : \{\{0, 0\}, \{\d+, \d+\}\}", bounds):
            raise AssertionError(f"unexpected line {bounds!r}\n{app.report()}")
        app.wait_lines(MENU_LOADED, since=m + 2)
        wait_for(lambda: self.settings_popup_rect(app), 10, "the settings popup's window")
        return popup

    def settings_cells(self, popup):
        popup.clear_cache()
        table = self.a11y.find(popup, name="Settings", role="table", timeout=5)
        return self.a11y.find_all(table, role="table cell")

    def settings_rows(self, popup):
        """The texts of the popup's rows, top to bottom."""
        return [c.get_name() for c in self.settings_cells(popup)]

    def click_settings_row(self, popup, row):
        cells = self.settings_cells(popup)
        self.click_rect(self.a11y.extents(cells[row]))

    # recordings

    def new_folder(self, prefix="recordings "):
        """A new empty folder in the session (the default prefix puts a space in its path)."""
        return Path(tempfile.mkdtemp(prefix=prefix, dir=SESSION_DIR))

    def assert_recording(self, path, rate):
        """Asserts path is a CAF file of 16-bit little-endian mono PCM at rate; returns its
        decoded Sound."""
        self.assertTrue(Path(path).is_file(), f"no file {path}")
        info = ffprobe(path)
        streams = info.get("streams", [])
        self.assertEqual(len(streams), 1, info)
        st = streams[0]
        self.assertEqual(info["format"]["format_name"], "caf", info)
        self.assertEqual(st["codec_name"], "pcm_s16le", info)
        self.assertEqual(st["channels"], 1, info)
        self.assertEqual(int(st["sample_rate"]), rate, info)
        sound = decode(path)
        self.assertEqual(sound.rate, rate)
        # A file without a single sample has no duration at all.
        duration = float(info["format"].get("duration") or st.get("duration") or 0.0)
        self.assertAlmostEqual(duration, sound.seconds, delta=0.05,
                               msg=f"ffprobe's duration and the decoded samples disagree: {info}")
        return sound

    def screenshot(self, name):
        return screenshot(self.artefacts / f"{name}.png")

    def assert_quiet(self, app, since, seconds=1.0):
        """Asserts that stdout gets no new line for a while after position since."""
        time.sleep(seconds)
        new = app.lines(since)
        self.assertEqual(new, [], f"unexpected output:\n{app.report()}")
