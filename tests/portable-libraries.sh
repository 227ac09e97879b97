#!/bin/bash
# The portable build links Qt alone: none of the Linux desktop's libraries (libpulse, XCB,
# Qt D-Bus) may be among the libraries the binary itself asks for. (Debian's Qt brings some of
# them in on its own: libQt6Gui needs Qt D-Bus and libX11, libQt6Multimedia libpulse.)
set -u
binary=${1:?usage: portable-libraries.sh BINARY}
needed=$(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p') || exit 1
echo "$needed"
if forbidden=$(grep -E '^lib(pulse|xcb|Qt6DBus)' <<<"$needed"); then
    echo "the portable build links $(echo $forbidden)" >&2
    exit 1
fi
