#!/usr/bin/env bash
# The recorder's benchmark, in one command from the repository's root:
#
#   bench/run.sh            full run (about 15 minutes): writes bench/RESULTS.md
#   bench/run.sh --smoke    a short run (about 3 minutes) that prints the table; CI may call it
#   bench/run.sh --baseline BIN   also measures another build's CPU in the same runs, to compare
#
# Installs the test packages (scripts/install-deps.sh test), makes a release build in
# build-bench/, then runs bench/bench.py inside the end-to-end tests' desktop session (Xvfb,
# trayer, PulseAudio with the virtual microphone, AT-SPI). It prints a table of figures and
# never fails on a number: the exit status is non-zero only when the build or the harness breaks.
set -uo pipefail
cd "$(dirname "$0")/.."

smoke=0
baseline=()
while [[ $# -gt 0 ]]; do
    case $1 in
        --smoke) smoke=1 ;;
        --baseline) baseline=(--baseline "$(realpath "$2")"); shift ;;
        *) echo "usage: bench/run.sh [--smoke] [--baseline BIN]" >&2; exit 2 ;;
    esac
    shift
done

scripts/install-deps.sh test || exit 1
build=build-bench
scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release -DREGISTRATORE_TESTS=OFF -DREGISTRATORE_BENCH=ON || {
    echo "bench: the build failed" >&2
    exit 1
}

args=(--bin "$PWD/$build/registratore" --engine-long "$PWD/$build/bench/engine_long"
      --engine-playback "$PWD/$build/bench/engine_playback"
      --stall-shim "$PWD/$build/bench/libbench_stall_shim.so" "${baseline[@]}")
command="bench/run.sh${baseline[1]:+ --baseline ${baseline[1]}}"
if [[ $smoke == 1 ]]; then
    args+=(--smoke --command "$command --smoke")
    results=$build/bench-smoke.md
else
    args+=(--command "$command")
    results=bench/RESULTS.md
fi
export E2E_ARTIFACTS=$PWD/$build/bench-artifacts
mkdir -p "$E2E_ARTIFACTS"
tests/e2e/desktop-session.sh /usr/bin/python3 -E bench/bench.py "${args[@]}" --results "$PWD/$results"
