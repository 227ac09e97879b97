#!/usr/bin/env bash
# Installs what is needed (Debian 12 or 13), builds and starts the recorder. The build leaves the
# tests out (-DREGISTRATORE_TESTS=OFF), so it needs none of the test packages; scripts/test.sh
# turns them on again in the same build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No graphical display found: run this from a desktop session (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
scripts/install-deps.sh build
scripts/build.sh build -DREGISTRATORE_TESTS=OFF
exec build/registratore "$@"
