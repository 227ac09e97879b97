#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: unit and engine tests in a normal and
# in an AddressSanitizer + UndefinedBehaviorSanitizer build, then the desktop tests against the
# real binary on a virtual desktop (Xvfb, a tray, PulseAudio with a virtual microphone).
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test || exit 1

passed=0
failed=0
count() { # name, status, passed-count, failed-count
    echo "== $1: $3 passed, $4 failed (exit $2)"
    passed=$((passed + $3))
    failed=$((failed + $4))
    [ "$2" -eq 0 ] || [ "$4" -gt 0 ] || failed=$((failed + 1))
}
ctest_counts() { # log file -> "passed failed"
    local total fails
    total=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$1" | tail -n1)
    fails=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$1" | tail -n1)
    echo "$(( ${total:-0} - ${fails:-0} )) ${fails:-0}"
}
run_ctest() { # name, build dir, ctest args...
    local name=$1 dir=$2
    shift 2
    local log
    log=$(mktemp)
    (cd "$dir" && ctest --output-on-failure "$@") 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    read -r p f < <(ctest_counts "$log")
    count "$name" "$status" "$p" "$f"
    rm -f "$log"
}

scripts/build.sh build || { echo "build failed"; echo "0 passed, 1 failed"; exit 1; }
run_ctest "unit and engine tests" build -LE desktop

scripts/build.sh build-asan -DREGISTRATORE_SANITIZE=ON || { echo "sanitizer build failed"; echo "$passed passed, $((failed + 1)) failed"; exit 1; }
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer-suppressions.txt
run_ctest "unit and engine tests under sanitizers" build-asan -LE desktop
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS

if [ -x tests/e2e/run.sh ]; then
    log=$(mktemp)
    REGISTRATORE_BIN=$PWD/build/registratore REGISTRATORE_BUILD=$PWD/build tests/e2e/run.sh 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    p=$(sed -n 's/^e2e: \([0-9]*\) passed, \([0-9]*\) failed.*/\1/p' "$log" | tail -n1)
    f=$(sed -n 's/^e2e: \([0-9]*\) passed, \([0-9]*\) failed.*/\2/p' "$log" | tail -n1)
    count "desktop tests" "$status" "${p:-0}" "${f:-0}"
    rm -f "$log"
fi

if [ -x tests/package/install-test.sh ]; then
    log=$(mktemp)
    (cd build && cpack -G DEB >/dev/null) && deb=$(ls -t build/registratore_*.deb | head -n1)
    tests/package/install-test.sh "${deb:-}" 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    p=$(sed -n 's/^package: \([0-9]*\) passed, \([0-9]*\) failed.*/\1/p' "$log" | tail -n1)
    f=$(sed -n 's/^package: \([0-9]*\) passed, \([0-9]*\) failed.*/\2/p' "$log" | tail -n1)
    count "package install test" "$status" "${p:-0}" "${f:-0}"
    rm -f "$log"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
