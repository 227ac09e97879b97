#!/usr/bin/env bash
# Builds the leftover check's libFuzzer target with clang in build-fuzz/ and runs it for
# SECONDS (60 by default) over a copy of the seed corpus. Exits non-zero on a crash, a leak or
# a sanitizer report; the input that caused it is left in build-fuzz/fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-60}
build=build-fuzz
cxx=$(command -v clang++-14 || command -v clang++ || true)
if [[ -z $cxx ]]; then
    echo "tests/fuzz/run.sh: clang++ is missing (Debian: clang-14)" >&2
    exit 2
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" \
    -DREGISTRATORE_FUZZ=ON -DREGISTRATORE_TESTS=OFF >/dev/null
cmake --build "$build" --target leftover_fuzzer
corpus=$build/fuzz-corpus
rm -rf "$corpus" && mkdir -p "$corpus" "$build/fuzz-artifacts"
cp tests/fuzz/corpus/* "$corpus"/
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/tests/fuzz/leftover_fuzzer" -max_total_time="$seconds" -max_len=70000 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/" "$corpus"
