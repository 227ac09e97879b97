#!/usr/bin/env bash
# Time from play() to the first sound, against a private PulseAudio server whose default output
# is a null sink that plays nothing else (engine_playback says how it is measured). The server
# keeps off the session bus, where the desktop's own server (or the benchmark's) has its name.
#
#   bench/engine_playback.sh [RUNS] [BUILD_DIR]     (defaults: 10, build)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
build=${2:-build}
playback=$build/bench/engine_playback
[ -x "$playback" ] || { echo "build $playback first: scripts/build.sh $build -DREGISTRATORE_BENCH=ON" >&2; exit 1; }

runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
unset PULSE_SERVER PULSE_RUNTIME_PATH PULSE_CLIENTCONFIG
env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-level=error \
    --log-target=file:"$runtime/pulseaudio.log" "--load=module-native-protocol-unix auth-anonymous=1" &
server=$!
cleanup() {
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || { echo "the private sound server did not start:" >&2; cat "$runtime/pulseaudio.log" >&2; exit 1; }
pactl load-module module-null-sink sink_name=bench_speaker rate=48000 channels=2 >/dev/null
pactl set-default-sink bench_speaker
"$playback" "$runs" "$runtime"
