#!/bin/bash
# Runs the desktop end-to-end tests against the built app, inside a private desktop session.
#
#   tests/e2e/run.sh [-k NAME]...        (REGISTRATORE_BIN defaults to build/registratore)
#
# Artefacts (screenshots, the app's output per test) go to $E2E_ARTIFACTS
# (default build/e2e-artifacts). The last line is "e2e: N passed, M failed".
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
cd "$repo" || exit 1

export REGISTRATORE_BIN=${REGISTRATORE_BIN:-$repo/build/registratore}
export E2E_ARTIFACTS=${E2E_ARTIFACTS:-$repo/build/e2e-artifacts}
mkdir -p "$E2E_ARTIFACTS"

if [[ ! -x $REGISTRATORE_BIN ]]; then
    echo "e2e: $REGISTRATORE_BIN is not built (cmake --build build), or set REGISTRATORE_BIN" >&2
    echo "e2e: 0 passed, 1 failed"
    exit 1
fi

counts=$(mktemp)
trap 'rm -f "$counts"' EXIT
# -E: Debian's python with its own modules (gi, Xlib), whatever PYTHON* a pyenv exports.
# In the background, so that a TERM or INT to this script reaches the session at once.
"$here/desktop-session.sh" /usr/bin/python3 -E "$here/run_suite.py" --counts "$counts" \
    --log "$E2E_ARTIFACTS/e2e.log" "$@" &
session_pid=$!
trap 'kill -TERM "$session_pid" 2>/dev/null' INT TERM HUP
wait "$session_pid"
rc=$?
if kill -0 "$session_pid" 2>/dev/null; then   # interrupted: let the session tear down
    wait "$session_pid"
    rc=$?
fi
read -r passed failed skipped <"$counts" 2>/dev/null
if [[ -z ${passed:-} ]]; then
    # The desktop did not come up, or the runner died before counting.
    passed=0 failed=1 skipped=0
    ((rc == 0)) && rc=1
fi
if ((failed > 0 && rc == 0)); then rc=1; fi
if ((skipped > 0)); then
    echo "e2e: $passed passed, $failed failed, $skipped skipped"
else
    echo "e2e: $passed passed, $failed failed"
fi
exit "$rc"
