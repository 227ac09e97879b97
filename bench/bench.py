"""The recorder's benchmark: runs inside tests/e2e/desktop-session.sh (Xvfb, trayer, PulseAudio
with the virtual microphone `vmic`, AT-SPI), drives the real app through the end-to-end
harness, and prints a table of figures, each the median of several runs with the min and max.
Nothing passes or fails on a figure: the exit status is 0 unless the harness itself broke.

    bench/run.sh [--smoke]          (builds, then runs this inside the desktop session)

Times come from the app itself where it matters: with REGISTRATORE_BENCH_TRACE=1 it writes
"bench-trace <CLOCK_MONOTONIC seconds> <moment>" on standard error (never standard output),
the clock of time.monotonic() here. REGISTRATORE_BENCH_BLOCK_UI_AT=S makes it block its UI
thread for 3 s, S seconds after a recording starts.
"""

import argparse
import datetime
import os
import platform
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time
import traceback
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from driver import Desktop, Ui  # noqa: E402
from harness import PAUSED, RESUMED, SESSION_DIR, STARTUP, STOPPED, App, run, wait_for  # noqa: E402
from sound import MicTap, decode, locate, tone_wav  # noqa: E402

RATE = 48000
TRACE = "bench-trace "


# --- measuring processes ------------------------------------------------------------------------


def threads_of(pid):
    """{tid: (comm, run ns, timeslices)} of every thread of pid (/proc/PID/task/*/schedstat)."""
    out = {}
    try:
        tids = os.listdir(f"/proc/{pid}/task")
    except FileNotFoundError:
        return out
    for tid in tids:
        try:
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                run_ns, _, slices = (int(v) for v in f.read().split()[:3])
            with open(f"/proc/{pid}/task/{tid}/comm") as f:
                comm = f.read().strip()
            if tid == str(pid):
                comm = "main thread"    # the UI thread: its threads of our own carry its name too
        except (FileNotFoundError, ProcessLookupError, ValueError):
            continue
        out[tid] = (comm, run_ns, slices)
    return out


def thread_deltas(before, after):
    """{comm: [run ns, timeslices]} between two threads_of() readings. A thread born in between
    counts from zero; one that ended in between is left out (its last moments are lost, which
    is why the process' own total is not taken as the difference of two sums: Qt's pooled
    threads end after 30 s idle, and their whole lifetime would come off the window)."""
    out = {}
    for tid, (comm, run_ns, slices) in after.items():
        _, r0, s0 = before.get(tid, (comm, 0, 0))
        entry = out.setdefault(comm, [0, 0])
        entry[0] += run_ns - r0
        entry[1] += slices - s0
    return out


def status_kib(pid, key):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith(key + ":"):
                    return int(line.split()[1])
    except FileNotFoundError:
        pass
    return None


def server_pid():
    return int(os.environ["E2E_SOUND_SERVER_PID"])     # set by desktop-session.sh


def window(pids, seconds):
    """What each pid's threads did over the next `seconds`: {pid: (run ns, timeslices, {comm:
    [ns, slices]})}."""
    before = {p: threads_of(p) for p in pids}
    time.sleep(seconds)
    out = {}
    for p in pids:
        per = thread_deltas(before[p], threads_of(p))
        out[p] = (sum(v[0] for v in per.values()), sum(v[1] for v in per.values()), per)
    return out


def per_minute(ns, seconds):
    return ns / 1e6 * 60 / seconds


# --- the figures ----------------------------------------------------------------------------------


class Figures:
    """Samples per figure, the table's rows and notes."""

    def __init__(self):
        self.samples = {}
        self.notes = []
        self.problems = []

    def add(self, key, value):
        if value is not None:
            self.samples.setdefault(key, []).append(value)

    def stats(self, key):
        v = self.samples.get(key)
        if not v:
            return None
        return statistics.median(v), min(v), max(v), len(v)

    def note(self, text):
        print(f"  {text}", flush=True)
        self.notes.append(text)


def fmt_stats(st, unit, digits=0):
    if st is None:
        return "not measured"
    med, lo, hi, n = st
    f = f"{{:.{digits}f}}"
    if n == 1:
        return f"{f.format(med)} {unit} (1 run)"
    return f"{f.format(med)} {unit} (min {f.format(lo)}, max {f.format(hi)}; {n} runs)"


class Bench:
    """The figures' steps, driving the app with the desktop tests' Ui, but with no tap on the
    microphone of its own: a reader there changes how often the server hands audio to the app,
    and so what the app costs. Each figure chooses its own tap, or none."""

    def __init__(self, binary, figures, smoke):
        self.ui = Ui(Desktop(), Path(tempfile.mkdtemp(prefix="bench-", dir=SESSION_DIR)), tap_on_record=False)
        self.ui.use_trayer(True)
        self.binary, self.figures, self.smoke = binary, figures, smoke
        self.folder = self.ui.new_folder("bench recordings ")
        self.server = server_pid()

    def launch_app(self, extra_env=None, binary=None):
        """The app recording at 48 kHz (preset High), tracing its moments on stderr."""
        home = Path(tempfile.mkdtemp(prefix="config-", dir=SESSION_DIR))
        (home / "registratore").mkdir()
        (home / "registratore" / "registratore.conf").write_text("[General]\nqualitaAudio=2\n")
        env = {"REGISTRATORE_BENCH_TRACE": "1", "XDG_CONFIG_HOME": str(home), **(extra_env or {})}
        for attempt in (1, 2):
            app = self.ui.launch(env=env, binary=binary or self.binary)
            try:
                app.wait_lines(STARTUP, timeout=10)
                break
            except AssertionError:
                if attempt == 2:
                    raise
                # Rarely a launch waits on something before its first line, and then on SIGTERM
                # too. Where its threads wait goes to the artefacts and the launch is tried again.
                where = self.threads_of(app, "silent-launch")
                self.figures.problems.append(f"a launch said nothing within 10 s; its threads: {where}")
                self.finish()
        self.ui.wait_popover(app)
        return app

    def threads_of(self, app, name):
        """Where each thread of the app waits, printed and kept in the artefacts (gdb's backtraces
        where gdb is installed, else each thread's kernel wait channel); returns the file's path."""
        out = self.ui.artefacts / f"{name}-{app.pid}.txt"
        if shutil.which("gdb"):
            text = subprocess.run(["gdb", "-p", str(app.pid), "-batch", "-ex", "thread apply all bt 30"],
                                  capture_output=True, text=True, timeout=60).stdout
        else:
            tasks = sorted(Path(f"/proc/{app.pid}/task").iterdir())
            text = "\n".join(f"{t.name} {(t / 'comm').read_text().strip()}: {(t / 'wchan').read_text()}"
                              for t in tasks)
        out.write_text(text)
        print(f"  {name}: where the threads of {app.pid} wait\n" + text, flush=True)
        return out

    def finish(self):
        """Stops the apps of one measurement; one that did not end well is noted as a problem."""
        try:
            self.ui.finish()
        except AssertionError as e:
            self.figures.problems.append(str(e).splitlines()[0])

    @staticmethod
    def traces(app):
        """{moment: [monotonic times]} from the app's standard error."""
        out = {}
        for line in app.err_lines():
            if line.startswith(TRACE):
                _, t, what = line.split(" ", 2)
                out.setdefault(what, []).append(float(t))
        return out

    def trace(self, app, what, timeout=10.0):
        """The (last) time of a trace line, waited for."""
        return wait_for(lambda: (self.traces(app).get(what) or [None])[-1], timeout,
                        lambda: f"the app's trace '{what}'\n{app.report()}")

    def click_icon(self, app, shown):
        """Clicks the status icon; waits for the popover to show or hide."""
        self.ui.click_tray_icon(app)
        self.ui.wait_popover(app, shown)

    def press_stop(self, app):
        """Clicks Stop; returns the monotonic time just before the click reached the X server."""
        t = self.ui.click(self.ui.a11y.extents(self.ui.widget(app, "Stop")))
        if self.traces(app):
            self.trace(app, "file complete")
        else:       # a build without the trace (an older one, for comparison)
            app.wait_line_prefix("secondiegistrazione : ")
        return t

    def record_into(self, app, name):
        self.ui.start_recording(app, self.folder / name)
        return self.folder / name

    # 1. CPU and memory while recording, against parecord -------------------------------------------

    def cpu_recording(self, seconds, runs, label="app", binary=None, baseline=None):
        for i in range(runs):
            app = self.launch_app(binary=binary)
            hwm_launched = status_kib(app.pid, "VmHWM")
            path = self.folder / f"cpu {label} {i}.caf"
            self.ui.open_save_dialog(app)
            time.sleep(0.5)
            hwm_dialog = status_kib(app.pid, "VmHWM")
            self.ui.type_into_file_dialog(app, path)
            app.wait_line("è partita la registrazione")
            self.click_icon(app, shown=False)
            time.sleep(2.0)
            w = window([app.pid, self.server], seconds)
            per_thread = w[app.pid][2]
            hwm = status_kib(app.pid, "VmHWM")
            parts = {k: status_kib(app.pid, k) for k in ("VmRSS", "RssAnon", "RssFile", "RssShmem")}
            self.click_icon(app, shown=True)
            self.press_stop(app)
            self.finish()
            app_ms, srv_ms = per_minute(w[app.pid][0], seconds), per_minute(w[self.server][0], seconds)
            wakes = w[app.pid][1] / seconds
            self.figures.add(f"{label}.cpu", app_ms)
            self.figures.add(f"{label}.server", srv_ms)
            self.figures.add(f"{label}.total", app_ms + srv_ms)
            self.figures.add(f"{label}.wakes", wakes)
            self.figures.add(f"{label}.hwm", hwm / 1024)
            busiest = sorted(per_thread.items(), key=lambda kv: -kv[1][0])[:5]
            self.figures.note(f"{label} run {i + 1}: {app_ms:.1f} ms/min + server {srv_ms:.1f} ms/min, "
                              f"{wakes:.1f} wake-ups/s, peak RSS {hwm / 1024:.1f} MiB ("
                              + ", ".join(f"{k} {v / 1024:.1f}" for k, v in parts.items())
                              + f" MiB at the end; VmHWM {hwm_launched / 1024:.1f} MiB once launched, "
                              f"{hwm_dialog / 1024:.1f} MiB with the save dialog up); threads: "
                              + ", ".join(f"{c} {per_minute(ns, seconds):.1f} ms/min {s / seconds:.1f}/s"
                                          for c, (ns, s) in busiest))
            if baseline:
                # Another build, recording in the same series: the machine's drift hits both alike.
                try:
                    self.cpu_recording(seconds, 1, "baseline", baseline)
                except AssertionError as e:     # an older build's fault is not this run's
                    self.finish()
                    self.figures.note(f"baseline run {i + 1} broke: {str(e).splitlines()[0]}")
            if label == "app":
                self.parecord(seconds, i, path.parent)
                if not self.smoke:
                    self.parecord(seconds, i, path.parent, latency_ms=250)

    def syncs(self, seconds):
        """The file syncs of a recording at 48 kHz with the popover closed, as strace attached to
        every thread of the app sees them: how often, how long each took, and the one at stop."""
        app = self.launch_app()
        self.record_into(app, "syncs.caf")
        self.click_icon(app, shown=False)
        log = self.ui.artefacts / "syncs.strace"
        tracer = subprocess.Popen(["strace", "-f", "-qq", "-ttt", "-T", "-e", "trace=fdatasync,fsync",
                                   "-o", str(log), "-p", str(app.pid)],
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        try:
            time.sleep(seconds)
            self.click_icon(app, shown=True)
            pressed = time.time()
            self.press_stop(app)
            time.sleep(0.5)
        finally:
            tracer.send_signal(signal.SIGINT)
            tracer.wait(10)
            self.finish()
        calls = []      # (when it returned, epoch seconds; how long it took, ms)
        for line in log.read_text().splitlines():
            m = re.match(r"\d+\s+([\d.]+)\s+(?:<\.\.\. )?f(?:data)?sync.*=\s*-?\d+.*<([\d.]+)>$", line)
            if m:
                calls.append((float(m.group(1)), float(m.group(2)) * 1000))
        during = [ms for t, ms in calls if t < pressed]
        at_stop = [ms for t, ms in calls if t >= pressed]
        self.figures.add("sync.per_min", len(during) * 60 / seconds)
        for ms in during:
            self.figures.add("sync.ms", ms)
        for ms in at_stop:
            self.figures.add("sync.stop_ms", ms)
        self.figures.note(f"syncs over {seconds:g} s of recording: {len(during)} taking "
                          + ", ".join(f"{ms:.2f}" for ms in during) + " ms; at stop: "
                          + ", ".join(f"{ms:.2f}" for ms in at_stop) + " ms")

    def parecord(self, seconds, i, folder, latency_ms=None):
        """parecord on the same microphone; with latency_ms it asks the server for audio that
        often, as the recorder does to bound what a crash loses."""
        key = f"parecord{latency_ms or ''}"
        out = folder / f"{key} {i}.wav"
        extra = [f"--latency-msec={latency_ms}"] if latency_ms else []
        p = subprocess.Popen(["parecord", *extra, "--rate=48000", "--channels=1", "--format=s16le", str(out)],
                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        try:
            time.sleep(2.0)
            w = window([p.pid, self.server], seconds)
            hwm = status_kib(p.pid, "VmHWM")
        finally:
            p.send_signal(signal.SIGINT)
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait(5)
        pr_ms, srv_ms = per_minute(w[p.pid][0], seconds), per_minute(w[self.server][0], seconds)
        self.figures.add(f"{key}.cpu", pr_ms)
        self.figures.add(f"{key}.server", srv_ms)
        self.figures.add(f"{key}.total", pr_ms + srv_ms)
        self.figures.add(f"{key}.wakes", w[p.pid][1] / seconds)
        self.figures.add(f"{key}.hwm", hwm / 1024)
        self.figures.note(f"parecord {' '.join(extra)} run {i + 1}: {pr_ms:.1f} ms/min + server {srv_ms:.1f} ms/min, "
                          f"{w[p.pid][1] / seconds:.1f} wake-ups/s, peak RSS {hwm / 1024:.1f} MiB")

    def server_idle(self, seconds):
        w = window([self.server], seconds)
        ms = per_minute(w[self.server][0], seconds)
        self.figures.add("server.idle", ms)
        self.figures.note(f"sound server with no client: {ms:.1f} ms/min")

    # 2. idle ------------------------------------------------------------------------------------

    def idle(self, windows, seconds):
        app = self.launch_app()
        self.click_icon(app, shown=False)
        time.sleep(3.0)
        for i in range(windows):
            w = window([app.pid], seconds)
            ns, slices, per_thread = w[app.pid]
            share = ns / (seconds * 1e9) * 100
            self.figures.add("idle.share", share)
            self.figures.add("idle.wakes", slices * 60 / seconds)
            woken = {c: s for c, (_, s) in per_thread.items() if s}
            self.figures.note(f"idle window {i + 1} ({seconds:g} s): {share:.4f} % of a core, "
                              f"{slices * 60 / seconds:.1f} wake-ups/min"
                              + (f" ({', '.join(f'{c}: {s}' for c, s in woken.items())})" if woken else ""))
        self.finish()

    # 3. launch to status icon ---------------------------------------------------------------------

    def launches(self, count):
        x = self.ui.x
        for i in range(count):
            env = dict(os.environ, XDG_CONFIG_HOME=tempfile.mkdtemp(prefix="config-", dir=SESSION_DIR))
            app = App(binary=self.binary, env=env).start()
            try:
                t_icon = wait_for(lambda: x.tray_icons(app.pid) and time.monotonic(), 20,
                                  lambda: "the status icon\n" + app.report(), interval=0.002)
                shown = t_icon - app.t_launch
                self.figures.add("launch.icon", shown * 1000)
                self.figures.note(f"launch {i + 1}: status icon shown after {shown * 1000:.0f} ms")
            finally:
                app.stop()
                wait_for(lambda: not x.tray_icons(app.pid), 10, "the old icon to leave the tray")

    # 4, 5, 6. confirm to first sample, stop to file complete, sample accuracy ------------------------

    def timed_recording(self, seconds, block_ui_at=None, tag="", tap_ms=20):
        """Records `seconds` with a tone that starts 0.3 s after the user confirms and plays to
        the end; returns the facts. A second recorder on the microphone (sound.MicTap)
        ties the file to the clock through the tone's onset."""
        env = {"REGISTRATORE_BENCH_BLOCK_UI_AT": str(block_ui_at)} if block_ui_at else {}
        tone = tone_wav(self.folder / "tone.wav", seconds + 4, frequency=1000, gain_db=-12)
        app = self.launch_app(env)
        # The virtual microphone is the monitor of a null sink, which renders audio ahead in
        # blocks as long as the shortest latency asked of it. With the tap asking for 20 ms the
        # blocks are short enough to tie the file to the clock within a few ms, but the app then
        # gets its audio every 20 ms too; with 250 ms (what the app asks) it gets quarter-second
        # fragments as from a real microphone, and the tap's timeline is off by up to a block.
        tap = MicTap(rate=RATE, latency_ms=tap_ms)
        self.ui.at_end(tap.stop)
        path = self.folder / f"timed {tag}.caf"
        self.ui.open_save_dialog(app)
        self.ui.type_into_file_dialog(app, path, accept=False)
        time.sleep(0.5)
        t_key = time.monotonic()
        self.ui.pointer.key("Return")
        time.sleep(max(0.0, t_key + 0.3 - time.monotonic()))
        player = self.ui.play(tone)
        t_confirm = self.trace(app, "dialog confirmed")
        t_started = self.trace(app, "recording started")
        time.sleep(max(0.0, t_confirm + seconds - time.monotonic()))
        t_click = self.press_stop(app)
        tr = self.traces(app)
        t_pressed, t_complete = tr["stop pressed"][-1], tr["file complete"][-1]
        time.sleep(0.3)
        player.kill()
        tap.stop()
        blocked = (tr.get("ui blocked"), tr.get("ui unblocked"))
        first_written = (tr.get("first sample written") or [None])[0]
        self.finish()

        sound = decode(path)
        header_frames = int(run(["soxi", "-s", str(path)]).stdout.strip())
        data_bytes = path.stat().st_size
        onset_file = sound.first_loud(-40.0, window=0.001)
        onset_tap = tap.sound().first_loud(-40.0, window=0.001)
        if onset_file is None or onset_tap is None:
            raise AssertionError(f"the tone is not in the file ({onset_file}) or the tap ({onset_tap})")
        t_tone = tap.at(onset_tap)
        t_first = t_tone - onset_file          # when the file's first sample was at the microphone
        t_last = t_first + sound.seconds
        return {
            "t_key": t_key, "t_confirm": t_confirm, "t_started": t_started, "t_first": t_first,
            "t_last": t_last, "t_click": t_click, "t_pressed": t_pressed, "t_complete": t_complete,
            "t_first_written": first_written, "sound": sound, "onset": onset_file,
            "header_frames": header_frames, "file_bytes": data_bytes, "blocked": blocked, "tap_ms": tap_ms,
        }

    def confirm_and_stop(self, runs, seconds):
        for i in range(runs):
            r = self.timed_recording(seconds, tag=f"confirm {i}", tap_ms=20)
            self.judge_start_and_end(r, i)

    def judge_start_and_end(self, r, i, label="confirm"):
        lost_start = (r["t_first"] - r["t_confirm"]) * 1000
        lost_end = (r["t_pressed"] - r["t_last"]) * 1000
        stop_ms = (r["t_complete"] - r["t_pressed"]) * 1000
        click_ms = (r["t_complete"] - r["t_click"]) * 1000
        complete = r["header_frames"] == len(r["sound"].samples)
        if r["tap_ms"] <= 20:       # the tap's timeline is exact enough for the start and the end
            self.figures.add("confirm.lost", lost_start)
            self.figures.add("stop.lost_end", lost_end)
        self.figures.add("stop.complete", stop_ms)
        self.figures.add("stop.from_click", click_ms)
        if not complete:
            self.figures.problems.append(f"{label} run {i + 1}: the header says {r['header_frames']} frames, "
                                         f"the file holds {len(r['sound'].samples)}")
        self.figures.note(
            f"{label} run {i + 1} (tap at {r['tap_ms']} ms): key press → 'dialog confirmed' {(r['t_confirm'] - r['t_key']) * 1000:.0f} ms; "
            f"first sample of the file captured {lost_start:+.0f} ms after confirming "
            f"(first write {(r['t_first_written'] - r['t_confirm']) * 1000:.0f} ms after); stop: 'stop pressed' → "
            f"'file complete' {stop_ms:.1f} ms ({click_ms:.1f} ms from the click); the file ends "
            f"{lost_end:+.0f} ms before the stop press; header {'holds' if complete else 'DOES NOT hold'} "
            f"the final length")

    def accuracy(self, runs, seconds, block_at, tap_ms=20):
        key = "accuracy" if tap_ms <= 20 else f"accuracy{tap_ms}"
        for i in range(runs):
            r = self.timed_recording(seconds, block_ui_at=block_at, tag=f"{key} {i}", tap_ms=tap_ms)
            sound = r["sound"]
            # The wall clock of the recording: from the moment the recorder started taking
            # audio (record(), right after the dialog closed) to the stop press, both the app's
            # own trace. The tap's view of the file's first sample is in the notes.
            wall = r["t_pressed"] - r["t_started"]
            error = (sound.seconds - wall) / wall * 100
            gaps, worst = sound.tone_breaks(r["onset"] + 0.05, sound.seconds - 0.05, 1000)
            blocked = r["blocked"]
            blocked_ok = bool(blocked[0] and blocked[1] and blocked[1][0] - blocked[0][0] >= 2.9)
            self.figures.add(f"{key}.error", abs(error))
            self.figures.add(f"{key}.gaps", gaps)
            self.judge_start_and_end(r, i, label=key)
            self.figures.note(
                f"{key} run {i + 1}: {sound.seconds:.3f} s in the file for {wall:.3f} s from 'recording "
                f"started' to 'stop pressed' ({error:+.3f} %); {gaps} breaks in the tone (largest phase "
                f"step {worst:.1f} samples); UI thread "
                + (f"blocked {blocked[1][0] - blocked[0][0]:.2f} s from {blocked[0][0] - r['t_confirm']:.1f} s "
                   "after confirming" if blocked_ok else "NOT blocked"))
            if not blocked_ok:
                self.figures.problems.append(f"accuracy run {i + 1}: the UI thread was not blocked")

    # 7. killed --------------------------------------------------------------------------------

    def killed(self, runs):
        for i in range(runs):
            tone = tone_wav(self.folder / "kill-tone.wav", 8.0, frequency=440)
            app = self.launch_app()
            tap = MicTap(rate=RATE, latency_ms=250)
            self.ui.at_end(tap.stop)
            path = self.record_into(app, f"killed {i}.caf")
            self.click_icon(app, shown=False)
            time.sleep(0.5)
            player = self.ui.play(tone)
            time.sleep(3.0 + 0.1 * i)
            t_kill = app.send_signal(signal.SIGKILL)
            app.wait_exit(10)
            player.kill()
            tap.stop()
            self.finish()
            sound = decode(path)
            onset = sound.first_loud(-30.0)
            t_tone = tap.at(tap.sound().first_loud(-30.0))
            lost = (t_kill - (t_tone + sound.seconds - onset)) * 1000
            self.figures.add("kill.lost", lost)
            self.figures.note(f"kill run {i + 1}: the file's header holds {sound.seconds:.3f} s; the last "
                              f"{lost:.0f} ms before the SIGKILL are missing")

    # 8. long recording ---------------------------------------------------------------------------

    def long_recording(self, engine_long, hours):
        out = self.folder / "long.caf"
        t = time.monotonic()
        r = run([engine_long, str(hours), str(out), str(RATE)], timeout=3600)
        took = time.monotonic() - t
        facts = dict(line.split(": ", 1) for line in r.stdout.splitlines() if ": " in line)
        out.unlink(missing_ok=True)
        size_ok = facts["bytes-in-file"] == facts["bytes-expected"]
        frames_ok = facts["frames-in-file"] == facts["frames-expected"]
        rss = [int(v) for k, v in facts.items() if k.startswith("rss-kib-at-")]
        growth = (max(rss) - min(rss)) if rss else None
        self.figures.add("long.size_ok", 1 if size_ok and frames_ok and facts["gaps"] == "0" else 0)
        self.figures.add("long.rss_growth", growth)
        self.figures.long = facts
        self.figures.long_hours = hours
        self.figures.note(f"long recording ({hours:g} h of {RATE} Hz in {took:.0f} s): file {facts['bytes-in-file']} "
                          f"bytes, expected {facts['bytes-expected']} (header {facts['header-bytes']} + 2 × "
                          f"{facts['frames-expected']} frames); frames read back {facts['frames-in-file']}, "
                          f"breaks in the count {facts['gaps']}; RSS every 10 min of audio "
                          f"{min(rss) if rss else '-'}..{max(rss) if rss else '-'} KiB")


    # 8b. playback: play() to the first sound ------------------------------------------------

    def playback(self, engine_playback, runs):
        r = run([str(REPO / "bench" / "engine_playback.sh"), str(runs), str(Path(engine_playback).parent.parent)],
                timeout=120)
        for line in r.stdout.splitlines():
            key, _, value = line.partition(": ")
            if key == "first-sound-ms" and value != "none":
                self.figures.add("playback.first_sound", float(value.split()[0]))
            elif key == "first-sound-ms":
                self.figures.problems.append("playback: a run heard no sound")
            elif key == "monitor-latency-ms":
                self.figures.note(f"playback: the monitor that listens has {value} ms of latency of its own, "
                                  "not taken off the time to the first sound")
            if key in ("first-sound-ms", "warm-up-ms"):
                self.figures.note(f"playback: {line}")

    # 9. a stalled disk: the longest wait of the UI thread -------------------------------------

    def ui_lates(self, app):
        """[(monotonic time the wait ended, ms)] of the app's UI-thread waits over 10 ms."""
        out = []
        for line in app.err_lines():
            m = re.match(r"^bench-trace ([\d.]+) ui late (\d+)$", line)
            if m:
                out.append((float(m.group(1)), int(m.group(2))))
        return out

    def click_stop_only(self, app):
        """Clicks Stop and waits for its lines only: on a stalled disk the file completes later."""
        m = app.mark()
        self.ui.click_widget(app, "Stop")
        app.wait_lines(STOPPED, since=m)

    def stalled_disk(self, shim, seconds, runs, stalled=True):
        """A recording stopped, a new one started and paused, all during a stall of `seconds`
        (or the same without a stall, to compare); the UI thread's longest wait meanwhile."""
        label = "stall" if stalled else "nostall"
        for i in range(runs):
            folder = self.ui.new_folder("stalling ")
            control = folder / "stall"
            app = self.launch_app({"LD_PRELOAD": shim, "REGISTRATORE_STALL_PATH": str(folder),
                                   "REGISTRATORE_STALL_CONTROL": str(control),
                                   "REGISTRATORE_BENCH_UI_WATCH": "1"})
            self.ui.at_end(lambda c=control: c.unlink(missing_ok=True))
            # With a 20 ms reader the virtual microphone hands over audio as a sound card does, and
            # the drain at stop and pause waits for it as long as for a sound card.
            tap = MicTap(rate=RATE, latency_ms=20)
            self.ui.at_end(tap.stop)
            self.ui.start_recording(app, folder / "stopped.caf")
            time.sleep(2.0)
            t0 = time.monotonic()
            if stalled:
                control.touch()
            actions = []

            def at(share, what, act):
                time.sleep(max(0.0, t0 + share * seconds - time.monotonic()))
                actions.append((time.monotonic(), what))
                act()

            at(0.15, "stop", lambda: self.click_stop_only(app))
            at(0.35, "start", lambda: self.ui.start_recording(app, folder / "started.caf"))
            at(0.65, "pause", lambda: self.ui.press_record_button(app, "Pause", PAUSED))
            time.sleep(max(0.0, t0 + seconds - time.monotonic()))
            t1 = time.monotonic()
            control.unlink(missing_ok=True)
            self.press_stop(app)
            wait_for(lambda: len(self.traces(app).get("file complete", [])) >= 2, 30,
                     lambda: f"both files complete\n{app.report()}")
            lates = [(t, ms) for t, ms in self.ui_lates(app) if t0 <= t <= t1]
            self.finish()
            worst = max((ms for _, ms in lates), default=0)
            self.figures.add(f"{label}.ui_block", worst)

            def after(t):
                done = [(t - a, w) for a, w in actions if a <= t]
                return f"{done[-1][0]:.1f} s after the {done[-1][1]}" if done else f"{t - t0:.1f} s in"

            longest = sorted(lates, key=lambda x: -x[1])[:3]
            self.figures.note(
                f"{label} run {i + 1} ({seconds:g} s{' stall' if stalled else ' without a stall'}, stop at "
                f"{0.15 * seconds:.0f} s, start at {0.35 * seconds:.0f} s, pause at {0.65 * seconds:.0f} s): "
                f"longest UI-thread waits over 10 ms: "
                + (", ".join(f"{ms} ms ending {after(t)}" for t, ms in longest) if longest else "none")
                + f" ({len(lates)} in all)")

    # 10. audio missing after a resume ------------------------------------------------------------

    def resume_after_pause(self, pauses, runs):
        """A recording of noise paused for each length in `pauses`, then resumed: how much of what
        the microphone heard after the Resume click is missing from the file. The file's first
        moment after the pause is found in an independent tap's recording by correlation."""
        noise = self.folder / "noise.wav"
        run(["sox", "-n", "-r", str(RATE), "-c", "1", "-b", "16", str(noise), "synth", "90", "whitenoise",
             "gain", "-15"], timeout=60)
        for i in range(runs):
            for label, pause in pauses:
                app = self.launch_app()
                tap = MicTap(rate=RATE, latency_ms=20)
                self.ui.at_end(tap.stop)
                player = self.ui.play(noise)
                path = self.record_into(app, f"resume {label} {i}.caf")
                time.sleep(2.0)
                self.ui.press_record_button(app, "Pause", PAUSED)
                time.sleep(pause)
                streams = run("pactl list source-outputs | grep -c 'application.name = \"Registratore\"'",
                              shell=True, check=False).stdout.strip()
                self.ui.press_record_button(app, "Record", RESUMED)
                time.sleep(2.0)
                self.press_stop(app)
                t_resume = self.traces(app)["resume pressed"][-1]
                junction = next(int(m.group(1)) for line in app.err_lines()
                                if (m := re.match(r"^bench-trace [\d.]+ paused at frame (\d+)$", line)))
                player.kill()
                tap.stop()
                self.finish()
                sound = decode(path)
                heard = tap.sound()
                t_first = tap.at(locate(sound.samples[junction:junction + RATE // 20], heard.samples, RATE,
                                        t_resume - tap.at(0)))
                missing = (t_first - t_resume) * 1000
                self.figures.add(f"resume.{label}", missing)
                self.figures.note(f"resume after a {pause:g} s pause, run {i + 1}: the file goes on with what the "
                                  f"microphone heard {missing:+.0f} ms after the Resume click; capture streams of "
                                  f"the app during the pause: {streams}")


# --- the table -----------------------------------------------------------------------------------


def ratio(a, b):
    return a / b if a is not None and b else None


def table(f, args):
    s = f.stats
    rows = []

    def row(figure, ours, theirs, target, met):
        rows.append((figure, ours, theirs, target, "yes" if met else ("no" if met is not None else "?")))

    app_total, pr_total = s("app.total"), s("parecord.total")
    r_total = ratio(app_total and app_total[0], pr_total and pr_total[0])
    row("CPU per minute of recording at 48 kHz, popover closed (app + sound server)",
        fmt_stats(app_total, "ms/min", 1), fmt_stats(pr_total, "ms/min", 1),
        "≤ 1.5 × parecord" + (f" (now {r_total:.2f} ×)" if r_total else ""),
        r_total is not None and r_total <= 1.5)
    r_own = ratio(s("app.cpu") and s("app.cpu")[0], s("parecord.cpu") and s("parecord.cpu")[0])
    row("  of which the client process alone (all threads)", fmt_stats(s("app.cpu"), "ms/min", 1),
        fmt_stats(s("parecord.cpu"), "ms/min", 1), f"(ratio {r_own:.2f} ×)" if r_own else "", None)
    row("  of which the sound server", fmt_stats(s("app.server"), "ms/min", 1),
        fmt_stats(s("parecord.server"), "ms/min", 1),
        "server with no client: " + fmt_stats(s("server.idle"), "ms/min", 1), None)
    p250 = s("parecord250.total")
    if p250:
        r250 = ratio(app_total and app_total[0], p250[0])
        row("  parecord --latency-msec=250 instead (audio every quarter second, as the recorder asks "
            "to bound what a crash loses)", fmt_stats(app_total, "ms/min", 1), fmt_stats(p250, "ms/min", 1),
            f"(ratio {r250:.2f} ×)" if r250 else "", None)
    row("  wake-ups of the client process", fmt_stats(s("app.wakes"), "/s", 1),
        fmt_stats(s("parecord.wakes"), "/s", 1), "", None)
    base = s("baseline.total")
    if base:
        change = ratio(app_total and app_total[0], base[0])
        row(f"  the baseline build {args.baseline} instead (app + sound server; its client process alone)",
            fmt_stats(app_total, "ms/min", 1), fmt_stats(base, "ms/min", 1) + "; "
            + fmt_stats(s("baseline.cpu"), "ms/min", 1),
            "within 10 % of the baseline" + (f" (now {(change - 1) * 100:+.1f} %)" if change else ""),
            change is not None and change <= 1.10)
    per_min, sync_ms, stop_ms = s("sync.per_min"), s("sync.ms"), s("sync.stop_ms")
    row("File syncs (fdatasync) while recording, popover closed: how often, how long each, the one at stop",
        fmt_stats(per_min, "/min", 1) + "; each " + fmt_stats(sync_ms, "ms", 2) + "; at stop "
        + fmt_stats(stop_ms, "ms", 2), "-", "at least every 10 s, and at stop",
        per_min is not None and per_min[0] >= 6 and stop_ms is not None)
    hwm = s("app.hwm")
    row("Peak memory while recording (VmHWM)", fmt_stats(hwm, "MiB", 1), fmt_stats(s("parecord.hwm"), "MiB", 1),
        "≤ 40 MiB", hwm is not None and hwm[2] <= 40)
    share, wakes = s("idle.share"), s("idle.wakes")
    row(f"CPU while idle (not recording, popover closed), {args.idle_windows} × {args.idle_seconds:g} s",
        fmt_stats(share, "% of a core", 4) + "; " + fmt_stats(wakes, "wake-ups/min", 1), "-",
        "< 0.05 % of a core, no timer wake-ups",
        share is not None and share[0] < 0.05 and wakes[0] < 1)
    launch = s("launch.icon")
    row("Launch to status icon shown", fmt_stats(launch, "ms"), "-", "< 300 ms", launch is not None and launch[0] < 300)
    lost = s("confirm.lost")
    row("Confirm to first sample in the file (audio lost after confirming)", fmt_stats(lost, "ms"), "-",
        "< 100 ms", lost is not None and lost[2] < 100)
    stop = s("stop.complete")
    row("Stop to file complete ('stop pressed' → header holds the final length)", fmt_stats(stop, "ms", 1), "-",
        "< 50 ms", stop is not None and stop[0] < 50 and not any("header" in p for p in f.problems))
    row("  audio missing at the end of the file (stop press − last sample, tap at 20 ms)",
        fmt_stats(s("stop.lost_end"), "ms"),
        "-", "(all audio up to the stop)", None)
    acc, gaps = s("accuracy.error"), s("accuracy.gaps")
    row(f"Sample accuracy over {args.accuracy_seconds:g} s, UI thread blocked 3 s in the middle",
        fmt_stats(acc, "% off the wall clock", 3) + "; " + fmt_stats(gaps, "breaks"), "-", "within 0.1 %, no gap",
        acc is not None and acc[2] <= 0.1 and gaps[2] == 0)
    acc250, gaps250 = s("accuracy250.error"), s("accuracy250.gaps")
    if acc250:
        row("  the same with the tap asking 250 ms: the virtual microphone's null sink then renders "
            "quarter-second blocks ahead of the clock (see the notes below)",
            fmt_stats(acc250, "% off the wall clock", 3) + "; " + fmt_stats(gaps250, "breaks"), "-", "", None)
    long_ok, growth = s("long.size_ok"), s("long.rss_growth")
    hours = getattr(f, "long_hours", None)
    row(f"Long recording: {hours:g} h of 48 kHz from a fake input at 120 × real time" if hours else "Long recording",
        ("file size exact, every frame in order" if long_ok and long_ok[1] == 1 else "SIZE OR CONTENT WRONG")
        + "; " + (f"RSS grew {growth[2]} KiB over the run" if growth is not None else ""),
        "-", "size exact, memory flat",
        long_ok is not None and long_ok[1] == 1 and growth is not None and growth[2] <= 1024)
    stall, nostall = s("stall.ui_block"), s("nostall.ui_block")
    row(f"Longest wait of the UI thread during a {args.stall_seconds:g} s disk stall spanning a stop, a start and "
        "a pause (waits over 10 ms counted)", fmt_stats(stall, "ms"), "-",
        "< 50 ms" + (f" (the same steps without a stall: {fmt_stats(nostall, 'ms')})" if nostall else ""),
        stall is not None and stall[2] < 50)
    short, long_ = s("resume.short"), s("resume.long")
    row("Audio missing after the Resume click, 3 s pause (microphone kept)", fmt_stats(short, "ms"), "-",
        "< 100 ms", short is not None and short[2] < 100)
    row("Audio missing after the Resume click, 13 s pause (microphone let go after 10 s)", fmt_stats(long_, "ms"),
        "-", "< 300 ms", long_ is not None and long_[2] < 300)
    first = s("playback.first_sound")
    row("Play to the first sound at the default output (the null sink's monitor, 5 ms fragments)",
        fmt_stats(first, "ms", 1), "-", "< 150 ms", first is not None and first[2] < 150)
    kill = s("kill.lost")
    row("Audio lost on SIGKILL (crash safety, not in the issue's table)", fmt_stats(kill, "ms"), "-",
        "≤ ~500 ms", kill is not None and kill[2] <= 550)
    return rows


def render(rows):
    head = ("figure", "registratore", "parecord", "target", "met")
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    for r in rows:
        lines.append("| " + " | ".join(str(c) for c in r) + " |")
    return "\n".join(lines)


def machine():
    cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")),
               platform.processor())
    pa = run(["pulseaudio", "--version"], check=False).stdout.strip()
    qt = run(["dpkg-query", "-W", "-f=${Version}", "libqt6core6"], check=False).stdout.strip()
    return (f"- date: {datetime.datetime.now().astimezone().isoformat(timespec='seconds')}\n"
            f"- machine: {os.cpu_count()} cores (`nproc`: {run(['nproc']).stdout.strip()}), {cpu}, "
            f"kernel {platform.release()}\n"
            f"- {pa}; Qt {qt}; virtual microphone `vmic` (module-remap-source of the null sink "
            f"`vmic_sink`'s monitor, 44.1 kHz stereo, so the server resamples to 48 kHz mono for "
            f"both clients)")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--smoke", action="store_true", help="a short run (about two minutes)")
    ap.add_argument("--bin", default=os.environ.get("REGISTRATORE_BIN"))
    ap.add_argument("--engine-long", required=True)
    ap.add_argument("--engine-playback", help="bench/engine_playback of the same build")
    ap.add_argument("--stall-shim", help="the preload shim that makes a disk stall (tests/faults/StallShim.cpp)")
    ap.add_argument("--results", help="write the Markdown report here")
    ap.add_argument("--command", default="bench/run.sh")
    ap.add_argument("--only", help="comma-separated steps to run (for experiments): "
                    "server,cpu,sync,idle,launch,confirm,accuracy,kill,long,playback,stall,resume")
    ap.add_argument("--cpu-seconds", type=float, help="override the CPU window (experiments)")
    ap.add_argument("--runs", type=int, help="override the number of runs of each figure (experiments)")
    ap.add_argument("--baseline", help="another build of the app, measured for CPU in the same runs")
    args = ap.parse_args()
    if not os.environ.get("REGISTRATORE_E2E_SESSION"):
        print("run me inside tests/e2e/desktop-session.sh (bench/run.sh does)", file=sys.stderr)
        return 2
    smoke = args.smoke
    cpu_seconds = args.cpu_seconds
    args.cpu_seconds = cpu_seconds or (10 if smoke else 40)
    args.cpu_runs = 1 if smoke else 3
    args.idle_windows, args.idle_seconds = (1, 10) if smoke else (3, 20)
    args.launches = 3 if smoke else 5
    args.confirm_runs = 1 if smoke else 3
    args.accuracy_runs = 1 if smoke else 3
    args.accuracy_seconds = 10 if smoke else 60
    args.kill_runs = 1 if smoke else 3
    args.long_hours = 0.25 if smoke else 3
    args.stall_seconds = 20
    args.stall_runs = 1 if smoke else 3
    args.resume_runs = 1 if smoke else 3
    if args.runs:
        args.cpu_runs = args.confirm_runs = args.accuracy_runs = args.kill_runs = args.runs
        args.stall_runs = args.resume_runs = args.runs

    figures = Figures()
    b = Bench(args.bin, figures, smoke)
    broken = []
    steps = [
        ("server", "sound server at rest", lambda: b.server_idle(10 if smoke else 20)),
        ("cpu", "CPU and memory while recording", lambda: b.cpu_recording(args.cpu_seconds, args.cpu_runs,
                                                                            baseline=args.baseline)),
        ("sync", "file syncs while recording", lambda: b.syncs(20 if smoke else 60)),
        ("idle", "idle", lambda: b.idle(args.idle_windows, args.idle_seconds)),
        ("launch", "launch", lambda: b.launches(args.launches)),
        ("confirm", "confirm and stop", lambda: b.confirm_and_stop(args.confirm_runs, 3)),
        ("accuracy", "sample accuracy", lambda: b.accuracy(args.accuracy_runs, args.accuracy_seconds,
                                                           args.accuracy_seconds / 2)),
        ("accuracy", "sample accuracy, tap at 250 ms", lambda: b.accuracy(1, args.accuracy_seconds,
                                                                          args.accuracy_seconds / 2, 250)),
        ("kill", "killed", lambda: b.killed(args.kill_runs)),
        ("long", "long recording", lambda: b.long_recording(args.engine_long, args.long_hours)),
        ("playback", "play to the first sound",
         lambda: args.engine_playback and b.playback(args.engine_playback, 3 if smoke else 10)),
        ("stall", "stop, start and pause on a stalled disk",
         lambda: b.stalled_disk(args.stall_shim, args.stall_seconds, args.stall_runs)),
        ("stall", "the same without a stall", lambda: smoke or b.stalled_disk(args.stall_shim, args.stall_seconds,
                                                                                 1, stalled=False)),
        ("resume", "audio after a resume",
         lambda: b.resume_after_pause((("short", 3.0), ("long", 13.0)), args.resume_runs)),
    ]
    started = time.monotonic()
    only = set(args.only.split(",")) if args.only else None
    for key, name, step in steps:
        if only and key not in only:
            continue
        print(f"== {name}", flush=True)
        try:
            step()
        except Exception as e:        # the harness broke: say so, keep the other figures
            b.finish()
            broken.append(f"{name}: {e}")
            print(f"  BROKEN: {name}: {e}", flush=True)
            traceback.print_exc()
    took = time.monotonic() - started

    rows = table(figures, args)
    text = render(rows)
    print("\n" + text + "\n", flush=True)
    for p in figures.problems + broken:
        print(f"problem: {p}")
    if args.results:
        report = [
            "# Benchmark results" + (" (smoke run: short windows, single runs)" if smoke else ""),
            "",
            f"One run of `{args.command}` ({took / 60:.1f} min). Each figure is the median of its runs, "
            "with the min and max showing the machine's noise; nothing passes or fails on a time.",
            "",
            machine(),
            "",
            text,
            "",
            "## How each figure is taken",
            "",
            HOW,
            "",
            "## Every run",
            "",
            *[f"- {n}" for n in figures.notes],
        ]
        if figures.problems or broken:
            report += ["", "## Problems", "", *[f"- {p}" for p in figures.problems + broken]]
        notes = REPO / "bench" / "NOTES.md"
        if notes.exists() and not smoke:
            report += ["", notes.read_text().rstrip()]
        Path(args.results).write_text("\n".join(report) + "\n")
        print(f"written: {args.results}")
    return 1 if broken else 0


HOW = """\
- CPU: the sum over all the threads of the process of the first field of
  `/proc/PID/task/*/schedstat` (nanoseconds run), plus the same for the PulseAudio server,
  over the same window, per minute. The app records at 48 kHz (preset High) into a new file with
  its popover closed; then `parecord --rate=48000 --channels=1 --format=s16le` records the same
  virtual microphone for the same length. Each window starts 2 s after capture started. Wake-ups
  are the third field of schedstat (times a thread was scheduled in).
- Syncs: a recording like the CPU one, with `strace -f -e trace=fdatasync,fsync -T` attached to
  every thread of the app for the window and through the stop; each call's duration as strace
  times it. The syncs run on the recorder's writer thread, never on the capture thread.
- Peak memory: `VmHWM` of `/proc/PID/status` at the end of the window.
- Idle: the app launched, its popover closed by a click on the status icon, 3 s to settle, then
  windows of CPU time and wake-ups of all its threads.
- Launch: from `exec` to the status icon's window being embedded and viewable in trayer (as the
  X server reports it), each launch with an empty preferences folder.
- Confirm to first sample: the path typed into the save dialog, Return pressed; a 1 kHz tone is
  started 0.3 s later into the microphone. A second recorder (`parec` asking for 20 ms
  fragments, the harness' MicTap) tells when the tone's onset was at the microphone; the onset's position in the file then tells
  when the file's first sample was captured. Audio lost = that moment − the app's
  `dialog confirmed` trace (negative would mean audio from before confirming in the file).
- Stop to file complete: the app's `stop pressed` trace (the Stop button's click handler) to its
  `file complete` trace (after the final header is written and the file closed), in all those
  recordings; `soxi` then checks that the header's frame count equals the audio in the file.
  The recordings with the 20 ms tap tell how much audio before the stop press is missing from
  the file's end.
- The virtual microphone: a null sink renders audio ahead of the clock in blocks as long as the
  shortest latency any of its readers asks for, and its monitor hands each block over at once.
  With the 20 ms tap it behaves like a sound card (what arrives was heard in the last 20 ms),
  but the app then receives its audio every 20 ms instead of every 250 ms; with a 250 ms tap
  (one extra sample-accuracy run) the app receives quarter-second fragments, and up to a
  quarter second of "future" audio as well.
- Sample accuracy: the same kind of recording (tap at 20 ms), longer, with the app told
  (`REGISTRATORE_BENCH_BLOCK_UI_AT`) to block its UI thread for 3 s halfway; the file's length
  against the wall clock between the app's `recording started` trace (record() switching the
  engine on, right after the dialog) and its `stop pressed` trace, and the tone checked for
  breaks (zero-crossing spacing off by more than 2 samples).
- Long recording: `bench/engine_long` (the engine with a fake microphone that delivers
  quarter-second fragments at 120 times real time: a live input never outruns the disk, and one
  that did would overflow the recorder's buffer and be told as a gap) records the hours given; the file's size must be the
  header plus 2 bytes a frame, every frame must read back in order, and the resident memory is
  sampled every 10 minutes of audio.
- Playback: `bench/engine_playback.sh` (a private server whose default output is a null sink)
  plays half a second of tone with the system player and listens to the output's monitor with
  5 ms fragments, after a warm-up run that is not counted: the tone was rendered when the
  fragment holding its first loud sample arrived, less the audio after it in that fragment,
  counted from the call of play(); the output's latency as the server reports it is added (an
  output renders ahead of what is heard by that much). The monitor's own latency is not taken
  off. The null sink runs at the few milliseconds its monitor asks for; a sound card runs at its
  own latency, at most the 60 ms the player's stream asks for, which would be added instead.
- Kill: a steady tone recorded, the app killed with SIGKILL; the tone's onset heard by the tap
  ties the file's end to the clock.
- Stalled disk: the app launched with the tests' stall shim (`tests/faults/StallShim.cpp`,
  preloaded) on its recordings' folder and with `REGISTRATORE_BENCH_UI_WATCH=1`, which runs a
  5 ms timer on its UI thread and writes a trace line each time it fires more than 10 ms late.
  A recording at 48 kHz runs 2 s, then the stall begins: Stop is clicked at 15 % of it, a new
  recording is started in the same folder (save dialog, path typed, Return) at 35 %, and paused
  at 65 %; the stall ends at 100 %, and both files must then complete. The figure is the longest
  late timer during the stall; the notes give the three longest and what they followed. The
  same steps without a stall show what the dialog and the widgets cost by themselves.
- Audio missing after a resume: white noise played into the microphone, a 20 ms tap recording
  it, the app recording at 48 kHz; Pause after 2 s, Resume after 3 s or 13 s (the microphone is
  let go after 10 s; `pactl` counts the app's capture streams during the pause), Stop 2 s later.
  The app's trace gives the frame at which it paused and the moment the Resume click reached it;
  the 50 ms of the file after that frame are found in the tap's recording by correlation (both
  averaged over 6 samples, searched from 0.3 s before to 0.7 s after the click), and the tap ties
  them to the clock. The figure: when the microphone heard the file's first sound after the
  pause, less the moment of the click."""


if __name__ == "__main__":
    sys.exit(main())
