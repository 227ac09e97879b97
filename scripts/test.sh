#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test through ctest: the unit and engine
# tests under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan), then everything in
# the normal build: unit, engine, the desktop tests against the real binary on a private
# desktop (Xvfb, trays, PulseAudio or PipeWire with a virtual microphone) and the package's
# install test; the engine tests under ThreadSanitizer (build-tsan) and a minute of fuzzing
# (build-fuzz); the portable build's unit and engine tests and one recording (build-portable).
# The last line counts the tests of every run from their JUnit reports.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test || exit 1

status=0
scripts/build.sh build-asan -DREGISTRATORE_SANITIZE=ON -DREGISTRATORE_TESTS=ON || { echo "the sanitizer build failed"; exit 1; }
(
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer-suppressions.txt
    rm -rf build-asan/junit && mkdir -p build-asan/junit
    cd build-asan && ctest -L 'unit|engine' --output-on-failure --output-junit junit/ctest.xml
) || status=1

# The engine's threads under ThreadSanitizer (build-tsan), and the libFuzzer target over the check
# of a folder's leftovers for a minute (build-fuzz, clang).
scripts/build.sh build-tsan -DREGISTRATORE_TSAN=ON -DREGISTRATORE_TESTS=ON || { echo "the ThreadSanitizer build failed"; exit 1; }
(
    rm -rf build-tsan/junit && mkdir -p build-tsan/junit
    cd build-tsan && ctest -L engine --output-on-failure --output-junit junit/ctest.xml
) || status=1
tests/fuzz/run.sh 60 >build-fuzz.log 2>&1 || { status=1; tail -n 40 build-fuzz.log; }
grep -E '^(stat::number_of_executed_units|Done )' build-fuzz.log

# With a test address for the web links, the package test checks this build's own package as
# a published one would be, with no second build.
scripts/build.sh build -DREGISTRATORE_TESTS=ON -DREGISTRATORE_PROJECT_URL=https://example.org/registratore ||
    { echo "the build failed"; exit 1; }
rm -rf build/junit && mkdir -p build/junit
(cd build && ctest --output-on-failure --output-junit junit/ctest.xml) || status=1

# The portable build (Qt alone, as on macOS and Windows): its unit and engine tests, the libraries
# it links, and one recording with its binary on the test desktop.
scripts/build.sh build-portable -DREGISTRATORE_PORTABLE=ON -DREGISTRATORE_TESTS=ON || { echo "the portable build failed"; exit 1; }
rm -rf build-portable/junit && mkdir -p build-portable/junit
(cd build-portable && ctest -L 'unit|engine|portable' --output-on-failure --output-junit junit/ctest.xml) || status=1

# ctest reports the desktop suites as one test each; their pytest reports count each test.
/usr/bin/python3 -E - build-asan/junit build-tsan/junit build/junit build-portable/junit <<'PY' || status=1
import sys, xml.etree.ElementTree as ET
from pathlib import Path
passed = failed = skipped = 0
for folder in map(Path, sys.argv[1:]):
    suites = {p.stem: ET.parse(p).getroot() for p in folder.glob("*.xml")}
    for case in suites.pop("ctest").iter("testcase"):
        cases = [case]
        if case.get("name") in suites:
            cases = list(suites[case.get("name")].iter("testcase"))
            if case.get("status") == "fail" and not any(c.find("failure") is not None
                                                        or c.find("error") is not None for c in cases):
                cases.append(case)     # its tests passed, but the session around them did not
        for c in cases:
            if c.find("failure") is not None or c.find("error") is not None or c.get("status") == "fail":
                failed += 1
            elif c.find("skipped") is not None or c.get("status") in ("notrun", "disabled"):
                skipped += 1
            else:
                passed += 1
print(f"{passed} passed, {failed} failed" + (f", {skipped} skipped" if skipped else ""))
sys.exit(1 if failed else 0)
PY
exit "$status"
