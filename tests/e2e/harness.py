"""The desktop tests' harness: the app under test with its output, the accessibility bus, the
pointer, trayer, and the programs a test starts. driver.py builds the tests' steps on it,
sound.py measures what was recorded. Everything that waits is bounded; a timeout raises
AssertionError with what was seen."""

import os
import shlex
import signal
import subprocess
import sys
import tempfile
import threading
import time
import warnings
from pathlib import Path

from xdesk import Rect

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
# The status icon's menu (a separator: None).
RECORDER_MENU = ["Registratore", "Record", "Stop", "Open Recorder", "Recent Recordings", None, "Quality : Medium", "Contact Us",
                 None, "Start at Login", "Quit"]

# Qt turns a second press within the double-click interval (400 ms on X11) into a double
# click, which a tray icon reports as DoubleClick rather than Trigger. Keep clicks apart.
CLICK_GAP = 0.6
SETTLE = 0.8            # quiet time after a toggle: catches a close that is undone at once
NO_BAR_WAIT = 3.0       # how long the app waits for a status bar before using a window
FALLBACK_SENTENCE = "no status bar"     # in what the app says when it opens in a window
SOUND_SERVER = os.environ.get("E2E_SOUND_SERVER", "pulseaudio")


def in_desktop_session():
    return bool(os.environ.get("DISPLAY") and os.environ.get("REGISTRATORE_E2E_SESSION"))


def app_binary():
    return os.environ.get("REGISTRATORE_BIN") or str(REPO / "build" / "registratore")


def wait_for(predicate, timeout, what, interval=0.05):
    """Polls predicate until it returns something truthy and returns that; fails after timeout.
    what describes the awaited state; it may be a function, called only on failure."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout:g}s waiting for {what() if callable(what) else what}")
        time.sleep(interval)
    return value


def run(cmd, timeout=20, check=True, **kw):
    """Runs a helper program, bounded; returns CompletedProcess with text output."""
    try:
        r = subprocess.run(cmd, capture_output=True, text=True, timeout=timeout, stdin=subprocess.DEVNULL, **kw)
    except subprocess.TimeoutExpired as e:
        raise AssertionError(f"{shlex.join(map(str, cmd))} did not finish in {timeout}s") from e
    if check and r.returncode != 0:
        raise AssertionError(f"{shlex.join(map(str, cmd))} exited {r.returncode}: {r.stderr.strip()}")
    return r


def environment(changes=None):
    """The test's environment with changes; a change to None removes the variable."""
    env = {**os.environ, **(changes or {})}
    return {k: v for k, v in env.items() if v is not None}


def tail(path, lines=20):
    try:
        return "\n".join(Path(path).read_text(errors="replace").splitlines()[-lines:])
    except OSError:
        return "(no log)"


class Program:
    """A program of the test's (a status bar, a compositor, another client), in a process group
    of its own, its output in a log."""

    def __init__(self, cmd, log=os.devnull, env=None):
        self.cmd, self.log = cmd, log
        with open(log, "ab") as f:
            self.proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=f, stderr=f,
                                         start_new_session=True, env=environment(env))

    def running(self):
        return self.proc.poll() is None

    def stop(self):
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(self.proc.pid, sig)
            except ProcessLookupError:
                break
            try:
                self.proc.wait(5)
                break
            except subprocess.TimeoutExpired:
                continue


# --- the application process ---------------------------------------------------------------


class App:
    """The app under test, with stdout and stderr read line by line as they arrive, each line
    kept with its arrival time in seconds since launch. mark() is a position in stdout;
    lines(since) and the waits look only after it."""

    def __init__(self, env, name="registratore", binary=None, args=()):
        self.binary, self.env, self.name, self.args = binary or app_binary(), env, name, list(args)
        self.proc = self.t_launch = None
        self._out, self._err = [], []       # (seconds since launch, text)
        self._cond = threading.Condition()
        self._readers = []
        self.stopped = self.killed = self.exited_by_itself = False
        self.expect_exit = False    # set by a test in which the app quits on its own

    def start(self):
        if not os.access(self.binary, os.X_OK):
            raise AssertionError(f"the app binary {self.binary} is missing or not executable "
                                 "(build it, or set REGISTRATORE_BIN)")
        self.t_launch = time.monotonic()
        self.proc = subprocess.Popen([self.binary, *self.args], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, env=self.env, start_new_session=True)
        for stream, sink in ((self.proc.stdout, self._out), (self.proc.stderr, self._err)):
            self._readers.append(threading.Thread(target=self._read, args=(stream, sink), daemon=True))
            self._readers[-1].start()
        return self

    def _read(self, stream, sink):
        for raw in iter(stream.readline, b""):
            with self._cond:
                sink.append((time.monotonic() - self.t_launch, raw.decode("utf-8", "replace").rstrip("\r\n")))
                self._cond.notify_all()
        stream.close()

    @property
    def pid(self):
        return self.proc.pid

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def stop(self, timeout=5.0):
        """SIGTERM, then SIGKILL after timeout. Returns the exit status."""
        if self.proc is None or self.stopped:
            return self.proc and self.proc.returncode
        self.stopped = True
        self.exited_by_itself = self.proc.poll() is not None
        if not self.exited_by_itself:
            self._signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout)
            except subprocess.TimeoutExpired:
                self.killed = True
                self._signal(signal.SIGKILL)
                self.proc.wait(5)
        self._reap()
        return self.proc.returncode

    def judge(self):
        """Stops the app; a crash, a hang on SIGTERM or a failing exit status is an AssertionError.
        An app the test stopped itself was judged by the test."""
        if self.stopped:
            return
        rc = self.stop()
        if self.killed:
            raise AssertionError(f"{self.name} did not exit within 5 s of SIGTERM\n{self.report()}")
        if self.exited_by_itself and not self.expect_exit:
            raise AssertionError(f"{self.name} exited by itself with status {rc} during the test\n{self.report()}")
        if rc not in (0, -signal.SIGTERM, 128 + signal.SIGTERM):
            how = f"signal {signal.Signals(-rc).name}" if rc < 0 else f"status {rc}"
            raise AssertionError(f"{self.name} ended with {how} on SIGTERM\n{self.report()}")

    def _reap(self):
        self._signal(signal.SIGKILL)    # helpers the app left in its process group
        for t in self._readers:
            t.join(2)

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
        """Waits (bounded) for the app to end by itself or by a signal the test sent; returns its
        exit status (negative: the signal that ended it), which the test judges."""
        try:
            rc = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"{self.name} still running {timeout:g}s later\n{self.report()}") from None
        self.stopped = self.exited_by_itself = True
        self._reap()
        return rc

    def seconds(self, t):
        """A time from the app's output (seconds since launch) as a time.monotonic() value."""
        return self.t_launch + t

    def mark(self):
        with self._cond:
            return len(self._out)

    def lines(self, since=0):
        with self._cond:
            return [text for _, text in self._out[since:]]

    def err_lines(self):
        with self._cond:
            return [text for _, text in self._err]

    def _wait(self, find, timeout, what, until_exit=True):
        """find() under the lock, again at each new line, until it is not None; fails after
        timeout, or once the app has ended and said all it will."""
        deadline = time.monotonic() + timeout
        with self._cond:
            while (hit := find()) is None:
                left = deadline - time.monotonic()
                if left <= 0 or (until_exit and not self.running() and not any(t.is_alive() for t in self._readers)):
                    ended = "" if self.running() else f" (app exited with {self.proc.returncode})"
                    raise AssertionError(f"{what() if callable(what) else what} within {timeout:g}s{ended}\n"
                                         + self.report())
                self._cond.wait(min(left, 0.1))
            return hit

    def wait_line(self, text, timeout=10.0, since=0):
        """Waits for a stdout line equal to text after position since; returns (index, time)."""
        return self._wait(lambda: next(((i, self._out[i][0]) for i in range(since, len(self._out))
                                        if self._out[i][1] == text), None), timeout, f"no line {text!r} on stdout")

    def wait_line_prefix(self, prefix, timeout=10.0, since=0):
        """Waits for a stdout line starting with prefix after position since; returns (time, text)."""
        return self._wait(lambda: next(((t, x) for t, x in self._out[since:] if x.startswith(prefix)), None),
                          timeout, f"no line starting {prefix!r} on stdout")

    def wait_lines(self, expected, timeout=10.0, since=0):
        """Waits until stdout after since starts with exactly the expected lines; returns their times."""
        expected, n = list(expected), len(expected)
        got = self._wait(lambda: self._out[since:since + n] if len(self._out) - since >= n else None, timeout,
                         lambda: f"expected stdout lines {expected!r}, got {self.lines(since)!r}")
        if [x for _, x in got] != expected:
            raise AssertionError(f"expected stdout lines {expected!r}, got {[x for _, x in got]!r}\n{self.report()}")
        return [t for t, _ in got]

    def wait_err(self, predicate, timeout=10.0):
        """Waits for a stderr line for which predicate(text) is true; returns it."""
        return self._wait(lambda: next((x for _, x in self._err if predicate(x)), None), timeout,
                          "no matching line on stderr", until_exit=False)

    def report(self):
        with self._cond:
            out, err = ("\n".join(f"  [{t:7.3f}] {s}" for t, s in lines) or "  (nothing)"
                        for lines in (self._out, self._err))
        status = "running" if self.running() else f"exited {self.proc.returncode}" if self.proc else "not started"
        return f"--- {self.name} ({status}) stdout:\n{out}\n--- {self.name} stderr:\n{err}"


# --- accessibility (AT-SPI) ----------------------------------------------------------------


class A11y:
    """Finds the app's widgets on the accessibility bus by accessible name and role.

    Qt leaves popup windows (Qt::Popup) out of the application's accessible children, so a
    popup is found through the event it sends when it shows (shown()). Toolkits send events
    only once someone listens, so listening starts here, before any app starts."""

    def __init__(self):
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            import gi
            gi.require_version("Atspi", "2.0")
            from gi.repository import Atspi, GLib
        self.Atspi, self.GLib = Atspi, GLib
        Atspi.set_timeout(3000, 10000)      # a hung app must not hang the test for D-Bus' 25 s
        self._shown = []        # sources of "showing" events: (pid, accessible)

        def on_event(event):
            try:
                if event.detail1:
                    self._shown.append((event.source.get_process_id(), event.source))
            except Exception:
                pass        # the sender is already gone
        self._listener = Atspi.EventListener.new(on_event)
        self._listener.register("object:state-changed:showing")

    def pump(self):
        context = self.GLib.MainContext.default()
        while context.iteration(False):
            pass

    def forget_shown(self):
        """Drops the events received so far: what shows afterwards is new."""
        self.pump()
        self._shown.clear()

    def shown(self, pid, name, timeout=10.0):
        """An accessible of process pid named name that reported showing since the last
        forget_shown() and is showing now; polled."""
        def find():
            self.pump()
            return next((acc for p, acc in reversed(self._shown)
                         if p == pid and self.safely(acc.get_name) == name and self.is_showing(acc)), None)
        return wait_for(find, timeout, f"accessible {name!r} of process {pid} to show")

    @staticmethod
    def safely(call, default=None):
        try:
            return call()
        except Exception:       # gone meanwhile
            return default

    def application(self, pid, timeout=10.0):
        def find():
            for a in self.children(self.Atspi.get_desktop(0)):
                if self.safely(a.get_process_id) == pid:
                    a.set_cache_mask(self.Atspi.Cache.NONE)
                    return a
            return None
        return wait_for(find, timeout, f"process {pid} on the accessibility bus")

    def children(self, acc):
        return self.safely(lambda: [c for c in map(acc.get_child_at_index, range(acc.get_child_count()))
                                  if c is not None], [])

    def descendants(self, acc):
        stack = [acc]
        while stack:
            kids = self.children(stack.pop())
            yield from kids
            stack.extend(reversed(kids))

    def has_role(self, acc, role):
        """Whether acc has the role named role ("push button"). Compared by the role's value:
        the names differ between at-spi2 releases (Debian 13 calls a push button "button")."""
        return acc.get_role() == getattr(self.Atspi.Role, role.upper().replace(" ", "_"))

    def find_all(self, root, name=None, role=None, showing=None, name_prefix=None):
        def matches(a):
            return ((name is None or a.get_name() == name)
                    and (name_prefix is None or (a.get_name() or "").startswith(name_prefix))
                    and (role is None or self.has_role(a, role))
                    and (showing is None or self.is_showing(a) == showing))
        return [a for a in self.descendants(root) if self.safely(lambda: matches(a), False)]

    def find(self, root, name=None, role=None, timeout=10.0, showing=True, name_prefix=None):
        """The first descendant with that name or role (showing on screen by default), polled."""
        label = " ".join(x for x in (role, name and repr(name), name_prefix and f"{name_prefix!r}...") if x)
        return wait_for(lambda: next(iter(self.find_all(root, name, role, showing, name_prefix)), None),
                        timeout, f"accessible {label}")

    def has_state(self, acc, state):
        return self.safely(lambda: acc.get_state_set().contains(getattr(self.Atspi.StateType, state.upper())), False)

    def is_showing(self, acc):
        return self.has_state(acc, "showing")

    def extents(self, acc):
        e = acc.get_extents(self.Atspi.CoordType.SCREEN)
        return Rect(e.x, e.y, e.width, e.height)

    def text(self, acc):
        """The text a widget shows, or None when the toolkit does not expose it. Qt 6.4 gives a
        QLabel no Text interface, and its accessible name replaces the text: a label whose name
        is set shows its text only through its accessible description, which the app keeps
        equal to the text."""
        Text = self.Atspi.Text
        if "Text" in self.safely(acc.get_interfaces, []) and \
                (text := self.safely(lambda: Text.get_text(acc, 0, Text.get_character_count(acc)))) is not None:
            return text
        return self.safely(acc.get_description) or None

    def dump(self, acc, depth=0):
        """The accessible tree as text, for failure messages."""
        try:
            ext = "" if acc.get_role_name() == "application" else f" {self.extents(acc)}"
            line = (f"{'  ' * depth}{acc.get_role_name()} {acc.get_name()!r}{ext}"
                    f"{' showing' if self.is_showing(acc) else ''}")
        except Exception as e:
            return f"{'  ' * depth}<{e}>"
        return "\n".join([line] + [self.dump(c, depth + 1) for c in self.children(acc)])


# --- input, screen and trayer ----------------------------------------------------------------


class Pointer:
    """Real pointer and keyboard input through XTEST (xdotool)."""

    def __init__(self, x):
        self.x = x
        self._last_click = 0.0

    def click(self, x, y, button=1):
        """Returns the monotonic time just before the click was sent."""
        self.move(x, y)
        time.sleep(max(0.0, CLICK_GAP - (time.monotonic() - self._last_click)))
        t = time.monotonic()
        run(["xdotool", "click", str(button)], timeout=10)
        self._last_click = time.monotonic()
        return t

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
    Path(path).parent.mkdir(parents=True, exist_ok=True)
    run(["import", "-window", "root", str(path)], timeout=30)
    return Path(path)


def alive(pid):
    """Whether pid runs; a zombie counts as gone."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except (OSError, IndexError):
        return False


class Tray:
    """The XEmbed tray host (trayer) that desktop-session.sh starts; tests may stop it, and the
    next test that wants it starts it again."""

    def __init__(self, x):
        self.x = x
        self.pidfile = Path(os.environ.get("E2E_TRAYER_PIDFILE", SESSION_DIR / "trayer.pid"))
        self.args = shlex.split(os.environ.get("E2E_TRAYER_ARGS", ""))
        self.log = os.environ.get("E2E_TRAYER_LOG", os.devnull)
        self.stopped_on_purpose = False

    def running(self):
        return self.x.tray_owner() is not None

    def stop(self, timeout=10.0):
        self.stopped_on_purpose = True
        try:
            pid = int(self.pidfile.read_text().strip())
        except (OSError, ValueError):
            pid = None
        for sig in (signal.SIGTERM, signal.SIGKILL) if pid else ():
            try:
                os.killpg(pid, sig)
            except ProcessLookupError:
                break
            try:
                wait_for(lambda: not alive(pid), timeout / 2, f"trayer ({pid}) to exit")
                break
            except AssertionError:
                continue
        self.pidfile.unlink(missing_ok=True)
        wait_for(lambda: not self.running(), timeout, "the system tray selection to be released")

    def start(self, timeout=20.0):
        if self.running():
            return
        if not self.stopped_on_purpose:
            # It died during an earlier test (that test has failed).
            print(f"\nthe tray host was gone; restarting it. Its log:\n{tail(self.log)}", file=sys.stderr, flush=True)
        if not self.args:
            raise AssertionError("E2E_TRAYER_ARGS is not set: run under desktop-session.sh")
        # Through sh, as desktop-session.sh does: the log tells if trayer ends by itself.
        trayer = Program(["sh", "-c", 'trayer "$@"; echo "trayer exited with status $? at $(date +%T.%N)"',
                          "trayer", *self.args], self.log, {"NO_AT_BRIDGE": "1"})
        self.pidfile.write_text(f"{trayer.proc.pid}\n")
        self.stopped_on_purpose = False
        wait_for(lambda: self.running() and self.x.tray_panel() is not None, timeout, "trayer to own the system tray")
