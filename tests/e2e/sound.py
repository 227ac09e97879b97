"""Sound played into the virtual microphone, and what a recording holds: its level, the onset of
a sound, the frequency of a tone and its breaks, where a stretch of it was heard. The desktop
tests and the benchmark (bench/bench.py) measure with these alone.

MicTap is a second, independent recorder on the microphone that notes when each piece of sound
reaches it, so that a position in a recording can be set against the clock."""

import math
import os
import subprocess
import sys
import tempfile
import threading
import time
from array import array
from pathlib import Path

from harness import SESSION_DIR, run, wait_for

MIC_SINK = "vmic_sink"      # what is played here is heard by the default input "vmic"
MIC2_SINK = "vmic2_sink"    # feeds the second input "vmic2"


def tone_wav(path, seconds, frequency=440, rate=48000, gain_db=-6):
    """Writes a sine tone with sox; returns the path."""
    run(["sox", "-n", "-r", str(rate), "-c", "1", "-b", "16", str(path),
         "synth", str(seconds), "sine", str(frequency), "gain", str(gain_db)], timeout=30)
    return Path(path)


def speech_wav(text, words_per_minute=150):
    """Writes text spoken by espeak-ng into a WAV file; returns (path, seconds)."""
    fd, path = tempfile.mkstemp(suffix=".wav", dir=SESSION_DIR)
    os.close(fd)
    run(["espeak-ng", "-v", "en", "-s", str(words_per_minute), "-w", path, text], timeout=30)
    return Path(path), float(run(["soxi", "-D", path], timeout=10).stdout)


def play(path, sink=MIC_SINK, wait=True):
    """Plays a sound file into a sink (by default: into the virtual microphone). With wait=False
    returns the running paplay; the caller waits for it (bounded) or kills it."""
    # A null sink renders ahead by its client's latency (2 s by default), so a recording
    # started at the same moment would hear the sound in 2-second bursts: keep it short.
    cmd = ["paplay", "--latency-msec=50", "-d", sink, str(path)]
    if not wait:
        return subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    run(cmd, timeout=float(run(["soxi", "-D", str(path)], timeout=10).stdout) + 20)
    return None


def speak(text):
    """Speaks text into the virtual microphone; returns its duration in seconds."""
    path, seconds = speech_wav(text)
    play(path)
    return seconds


def _samples(raw):
    samples = array("h")
    samples.frombytes(raw[:len(raw) // 2 * 2])
    if sys.byteorder == "big":
        samples.byteswap()
    return samples


class Sound:
    """A recording's samples (16-bit mono, as integers) and its sample rate. Times are seconds
    into the sound; levels are dB relative to full scale."""

    def __init__(self, samples, rate):
        self.samples, self.rate = samples, rate

    @property
    def seconds(self):
        return len(self.samples) / self.rate

    def _range(self, start, end):
        a = max(0, int(round(start * self.rate)))
        b = len(self.samples) if end is None else min(len(self.samples), int(round(end * self.rate)))
        return a, max(a, b)

    def dbfs(self, start=0.0, end=None):
        """RMS level between two times; -inf if silent."""
        a, b = self._range(start, end)
        energy = sum(v * v for v in self.samples[a:b]) / (b - a) if b > a else 0
        return 10 * math.log10(energy / 32768.0 ** 2) if energy > 0 else float("-inf")

    def levels(self, window=0.05):
        """[(start time, level)] of consecutive windows."""
        n = max(1, int(self.rate * window))
        return [(i / self.rate, self.dbfs(i / self.rate, (i + n) / self.rate))
                for i in range(0, len(self.samples) - n + 1, n)]

    def loud_seconds(self, threshold_db=-35.0, window=0.05, start=0.0, end=None):
        """How long the sound stays above threshold_db between two times (window resolution)."""
        return sum(window for t, db in self.levels(window)
                   if db > threshold_db and t >= start and (end is None or t + window <= end))

    def first_loud(self, threshold_db=-30.0, window=0.002, lasting=0.0):
        """The start of the first window above threshold_db that begins `lasting` seconds of
        such windows, or None."""
        levels, length = self.levels(window), max(1, round(lasting / window))
        loud = [db > threshold_db for _, db in levels]
        return next((levels[i][0] for i in range(len(levels) - length + 1) if all(loud[i:i + length])), None)

    def frequency(self, start=0.0, end=None):
        """The frequency of a pure tone between two times, from its zero crossings (Hz)."""
        a, b = self._range(start, end)
        part = self.samples[a:b]
        return sum((x < 0) != (y < 0) for x, y in zip(part, part[1:])) / 2 / ((b - a) / self.rate) if b > a else 0.0

    def tone_runs(self, frequency, start=0.0, shortest=0.05, threshold_db=-35.0, window=0.02):
        """The lengths of the separate stretches after start in which a tone of that frequency
        (within 12 %) sounds above threshold_db. A window that only partly holds a tone can read
        as another one: stretches shorter than shortest are left out."""
        runs, current = [], 0.0
        for t, db in self.levels(window):
            if t >= start and db > threshold_db and abs(self.frequency(t, t + window) - frequency) < frequency * 0.12:
                current += window
            elif current:
                runs.append(current)
                current = 0.0
        return [r for r in runs + [current] if r >= shortest and r > 0]

    def tone_breaks(self, start, end, frequency):
        """Breaks in a steady tone between two times: upward zero crossings whose spacing strays
        from the tone's period by more than 2 samples (a lost, repeated or garbled stretch).
        Returns (breaks, largest stray in samples)."""
        s, period = self.samples, self.rate / frequency
        crossings = [i - 1 + -s[i - 1] / (s[i] - s[i - 1])       # to a fraction of a sample
                     for i in range(max(int(start * self.rate), 1), int(end * self.rate)) if s[i - 1] < 0 <= s[i]]
        strays = [abs(b - a - period) for a, b in zip(crossings, crossings[1:])]
        return sum(x > 2 for x in strays), max(strays, default=0.0)


def decode(path):
    """A sound file's samples as a Sound (decoded by sox into 16-bit mono)."""
    rate = int(float(run(["soxi", "-r", str(path)], timeout=10).stdout))
    cmd = ["sox", str(path), "-t", "raw", "-e", "signed-integer", "-b", "16", "-c", "1", "-L", "-"]
    try:
        r = subprocess.run(cmd, capture_output=True, timeout=60, stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired as e:
        raise AssertionError(f"{cmd} did not finish in 60s") from e
    if r.returncode != 0:
        raise AssertionError(f"{cmd} exited {r.returncode}: {r.stderr.decode(errors='replace')}")
    return Sound(_samples(r.stdout), rate)


def locate(snippet, reference, rate, around, before=0.3, after=0.7, step=6):
    """Where (seconds into reference) snippet was heard, searched from `before` seconds ahead of
    `around` to `after` seconds past it: the lag of the highest normalised correlation, both
    signals summed over `step` samples first (noise correlates only with itself)."""
    def down(s):
        return [sum(s[k:k + step]) for k in range(0, len(s) - step + 1, step)]
    a = down(snippet)
    n = len(a)
    lo = max(0, int((around - before) * rate / step))
    hi = max(lo, min(len(reference) // step - n, int((around + after) * rate / step)))
    ref = down(reference[lo * step:(hi + n) * step])
    energy, scores = sum(v * v for v in ref[:n]), []
    for k in range(len(ref) - n + 1):
        if k:
            energy += ref[k + n - 1] ** 2 - ref[k - 1] ** 2
        scores.append(sum(x * y for x, y in zip(a, ref[k:k + n])) / math.sqrt(max(energy, 1)))
    return (lo + max(range(len(scores)), key=scores.__getitem__, default=0)) * step / rate


class MicTap:
    """An independent recorder on a microphone (parec), which notes when each piece of sound
    reaches it: at(p) is the time (time.monotonic()) at which the sound p seconds into the tap
    was at the microphone, to within a few ms. A piece arrives after its last sample was
    captured, so the earliest arrival, less the sound before it, tells when the first sample was.

    It asks for 20 ms pieces by default, like a sound card's period. A null sink renders ahead of
    the clock in blocks as long as the shortest latency its monitor's readers ask for: with the
    tap there, the app gets what was played in the last 20 ms, not up to a quarter second still
    to come; and without a reader already there, PulseAudio's null sink hands a reader that
    connects as a player starts less than was played."""

    def __init__(self, source="vmic", rate=24000, latency_ms=20):
        self.rate = rate
        self._data = bytearray()
        self._arrivals = []         # (monotonic time, samples received so far)
        self._lock = threading.Lock()
        self.proc = subprocess.Popen(
            ["parec", "-d", source, "--raw", "--format=s16le", f"--rate={rate}", "--channels=1",
             f"--latency-msec={latency_ms}"], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL)
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()
        wait_for(lambda: self._arrivals, 5, "the microphone tap's first sound")

    def _read(self):
        while chunk := os.read(self.proc.stdout.fileno(), 1 << 16):
            t = time.monotonic()
            with self._lock:
                self._data += chunk
                self._arrivals.append((t, len(self._data) // 2))

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
            return Sound(_samples(bytes(self._data)), self.rate)

    def at(self, position):
        with self._lock:
            return min(t - n / self.rate for t, n in self._arrivals) + position


def recording_start(tap, sound, threshold_db=-30.0):
    """When (time.monotonic()) a recording's first sample was at the microphone, from the first
    sound above threshold_db that both the recording and the tap heard; None if either heard
    nothing. A sound counts once it lasts 50 ms: on PipeWire a tap can begin with a blip of
    what its microphone played before."""
    heard, onset = (s.first_loud(threshold_db, lasting=0.05) for s in (tap.sound(), sound))
    return None if heard is None or onset is None else tap.at(heard) - onset
