#!/usr/bin/env bash
# Installs the Debian 12 packages the recorder needs: `build` to build and run it, `test` to
# also run every test (a virtual desktop: display, tray, sound server, accessibility bus).
set -euo pipefail

build_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins
    libsndfile1-dev libpulse-dev libxcb-xinput-dev
)
test_packages=(
    libgtest-dev googletest libfiu-dev fiu-utils
    xvfb xauth trayer pulseaudio pulseaudio-utils dbus dbus-x11 at-spi2-core
    python3 python3-gi python3-pyatspi python3-xlib gir1.2-atspi-2.0 xdotool x11-utils x11-apps imagemagick
    espeak-ng sox ffmpeg clang-format
    debootstrap desktop-file-utils appstream dpkg-dev file
    weston qt6-wayland
)

packages=("${build_packages[@]}")
if [ "${1:-build}" = test ]; then
    packages+=("${test_packages[@]}")
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Installing ${missing[*]} needs root: run this as root or with sudo." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
