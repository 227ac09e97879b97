#!/usr/bin/env bash
# Installs what is needed, builds and starts the recorder.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No graphical display found: run this from a desktop session (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
scripts/install-deps.sh build
scripts/build.sh build
exec build/registratore
