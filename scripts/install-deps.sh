#!/usr/bin/env bash
# Installs the Debian 12 packages the recorder needs: `build` to build and run it, `test` to
# also run every test (a virtual desktop: display, trays, sound server, accessibility bus, and
# GNOME Shell and KDE Plasma nested in it).
# Nothing installed is ever removed: apt's simulation is checked first and a removal stops it.
#
#   scripts/install-deps.sh [build|test] [--simulate]   (--simulate: only print apt's simulation)
set -euo pipefail

build_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins
    libsndfile1-dev libpulse-dev libxcb-xinput-dev
    help2man
)
test_packages=(
    libgtest-dev googletest libfiu-dev fiu-utils
    xvfb xauth trayer tint2 xfce4-panel xfwm4 pulseaudio-utils dbus dbus-x11 at-spi2-core
    python3 python3-gi python3-pyatspi python3-xlib gir1.2-atspi-2.0 xdotool x11-utils x11-apps imagemagick
    python3-pytest python3-dbusmock
    espeak-ng sox ffmpeg clang-format
    debootstrap desktop-file-utils appstream dpkg-dev file lintian man-db
    weston qt6-wayland
    gnome-shell gnome-shell-extension-appindicator mutter xwayland gnome-session-bin
    plasma-workspace plasma-desktop plasma-pa kwin-wayland qtwayland5
    libfiu0 binutils strace
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

packages=("${build_packages[@]}")
if [ "${1:-build}" = test ]; then
    packages+=("${test_packages[@]}")
    # The desktop tests run on PulseAudio or on PipeWire (with WirePlumber and pipewire-pulse),
    # whichever the machine has. A machine with neither gets both, so that the tests cover
    # both (on Debian 12 they install side by side). pulseaudio conflicts with pipewire-alsa
    # and pipewire-audio-client-libraries, so a PipeWire desktop never gets it.
    if ! installed pulseaudio && ! { installed pipewire-pulse && installed wireplumber; }; then
        packages+=(pipewire-pulse wireplumber)
        installed pipewire-alsa || installed pipewire-audio-client-libraries || packages+=(pulseaudio)
    fi
fi

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
simulate=0
[ "${2:-}" = --simulate ] && simulate=1

if [ "$(id -u)" -ne 0 ] && [ $simulate = 0 ]; then
    echo "Installing ${missing[*]} needs root: run this as root or with sudo." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
[ $simulate = 1 ] || apt-get update -qq
simulation=$(apt-get install -s --no-install-recommends "${missing[@]}")
[ $simulate = 0 ] || echo "$simulation"
removed=$(sed -n 's/^Remv \([^ ]*\).*/\1/p' <<<"$simulation")
if [ -n "$removed" ]; then
    echo "Installing ${missing[*]} would remove $(echo $removed): not installing; install what is" \
        "missing by hand in a way that keeps them." >&2
    exit 1
fi
[ $simulate = 1 ] || apt-get install -y -qq --no-install-recommends "${missing[@]}"
