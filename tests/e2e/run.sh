#!/bin/bash
# Runs the desktop end-to-end tests (pytest) against the built app, inside a private desktop
# session (desktop-session.sh). Arguments go to pytest:
#
#   tests/e2e/run.sh [-k EXPRESSION] [tests/e2e/test_recording.py] ...
#
# REGISTRATORE_BIN defaults to build/registratore; E2E_SOUND_SERVER (pulseaudio, pipewire,
# auto) picks the sound server. Artefacts of failed tests (screenshots, the app's output) go
# to $E2E_ARTIFACTS (default build/e2e-artifacts); E2E_JUNIT names a JUnit XML report.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)

export REGISTRATORE_BIN=${REGISTRATORE_BIN:-$repo/build/registratore}
export E2E_ARTIFACTS=${E2E_ARTIFACTS:-$repo/build/e2e-artifacts}
mkdir -p "$E2E_ARTIFACTS"
if [[ ! -x $REGISTRATORE_BIN ]]; then
    echo "e2e: $REGISTRATORE_BIN is not built (scripts/build.sh build), or set REGISTRATORE_BIN" >&2
    exit 1
fi
[[ $# -gt 0 && $1 != -* ]] || set -- "$here" "$@"
junit=()
[[ -n ${E2E_JUNIT:-} ]] && junit=(--junitxml="$E2E_JUNIT")
# -E: Debian's python with its own modules (gi, Xlib, pytest), whatever PYTHON* a pyenv exports.
# In the background, so that a TERM or INT to this script reaches the session at once.
"$here/desktop-session.sh" /usr/bin/python3 -E -m pytest -c "$here/pytest.ini" --rootdir "$here" \
    "${junit[@]}" "$@" &
session_pid=$!
trap 'kill -TERM "$session_pid" 2>/dev/null' INT TERM HUP
wait "$session_pid"
rc=$?
if kill -0 "$session_pid" 2>/dev/null; then   # interrupted: let the session tear down
    wait "$session_pid"
    rc=$?
fi
exit "$rc"
