#!/usr/bin/env bash
# Time from play() to the first sound, against a private PulseAudio server whose default output
# is a null sink that plays nothing else (engine_playback says how it is measured).
#
#   bench/engine_playback.sh [RUNS] [BUILD_DIR]     (defaults: 10, build)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
build=${2:-build}
playback=$build/bench/engine_playback
[ -x "$playback" ] || { echo "build $playback first: scripts/build.sh $build -DREGISTRATORE_BENCH=ON" >&2; exit 1; }

source bench/private-pulseaudio.sh
pactl load-module module-null-sink sink_name=bench_speaker rate=48000 channels=2 >/dev/null
pactl set-default-sink bench_speaker
"$playback" "$runs" "$runtime"
