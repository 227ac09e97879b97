#!/usr/bin/env bash
# CPU cost of capturing the microphone: the recorder engine (engine_capture) against parecord,
# both at 48 kHz mono 16-bit from the same virtual microphone of a private PulseAudio server.
# The microphone is a null source, which hands audio over the way a sound card does.
#
#   bench/engine_capture.sh [SECONDS] [BUILD_DIR]     (defaults: 60, build)
#
# Prints CPU milliseconds per minute of capture for each client and for the server while it
# serves that client (sum over /proc/PID/task/*/schedstat, first field, from one second in),
# then what stop() kept against the wall clock, with and without fetching the last fragment, and
# what a SIGKILL loses with fragments of 250, 400 and 500 ms.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${2:-build}
capture=$build/bench/engine_capture
[ -x "$capture" ] || { echo "build $capture first: scripts/build.sh $build -DREGISTRATORE_BENCH=ON" >&2; exit 1; }

source bench/private-pulseaudio.sh
pactl load-module module-null-source source_name=bench_mic rate=48000 channels=1 >/dev/null
pactl set-default-source bench_mic

cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s + 0 }'; }
per_minute() { awk -v ns="$1" -v s="$2" 'BEGIN { printf "%.1f", ns / 1e6 * 60 / s }'; }

# measure NAME PID: CPU of PID and of the server over $seconds, from one second in.
measure() {
    sleep 1
    local c0 s0 c1 s1
    c0=$(cpu_ns "$2")
    s0=$(cpu_ns "$server")
    sleep "$seconds"
    c1=$(cpu_ns "$2")
    s1=$(cpu_ns "$server")
    echo "$1: $(per_minute $((c1 - c0)) "$seconds") ms CPU per minute; server meanwhile $(per_minute $((s1 - s0)) "$seconds") ms per minute"
}

out=$(mktemp -d)
# parecord as it comes leaves the source at its largest latency (audio in 2 s bursts); with
# --latency-msec=250 it asks for the quarter-second fragments the engine asks for.
for latency in "" --latency-msec=250; do
    parecord $latency --rate=48000 --channels=1 --format=s16le "$out/parecord.wav" &
    recorder=$!
    measure "parecord ${latency:-(default latency)}" "$recorder"
    kill "$recorder"
    wait "$recorder" 2>/dev/null || true
done

for fragment in 250 400 500; do
    "$capture" $((seconds + 2)) "$out/engine.caf" 48000 --no-meter --fragment-ms=$fragment 2>"$out/engine.log" &
    recorder=$!
    measure "engine_capture --fragment-ms=$fragment" "$recorder"
    wait "$recorder"
done
for meter in --no-meter ""; do
    "$capture" $((seconds + 2)) "$out/engine.caf" 48000 $meter 2>"$out/engine.log" &
    recorder=$!
    measure "engine_capture ${meter:-(reading the level 10 times a second)}" "$recorder"
    wait "$recorder"
    sed 's/^/  engine_capture says: /' "$out/engine.log"
done

echo "What stop() keeps (file length minus wall time from record() to the end of stop()):"
for run in 1 2 3 4 5; do
    "$capture" "2.$((run * 17))" "$out/short.caf" 48000 2>&1 | sed -n "s/^file: /  with drain:    /p"
done
for run in 1 2 3 4 5; do
    "$capture" "2.$((run * 17))" "$out/short.caf" 48000 --no-drain 2>&1 | sed -n "s/^file: /  without drain: /p"
done
echo "What a SIGKILL loses (wall time from record() to the kill, less the audio the file's header holds):"
for fragment in 250 400 500; do
    for run in 1 2 3 4 5; do
        said=$({ "$capture" 60 "$out/killed.caf" 48000 --fragment-ms=$fragment "--kill-after=3.$((run * 19))" 2>&1 || true; } \
            | sed -n 's/^killed: \([0-9.]*\) s.*/\1/p')
        kept=$(soxi -D "$out/killed.caf" 2>/dev/null || echo 0)
        awk -v f="$fragment" -v w="$said" -v k="$kept" \
            'BEGIN { printf "  fragment %s ms: killed after %.3f s, the file holds %.3f s: %.0f ms lost\n", f, w, k, (w - k) * 1000 }'
    done
done
rm -rf "$out"
