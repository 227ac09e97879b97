#!/usr/bin/env bash
# Installs the Debian packages the recorder needs, on Debian 12 (bookworm) or 13 (trixie):
#   build   to build and run it;
#   unit    also to build and run the unit and engine tests (ctest -L 'unit|engine');
#   test    also to run every test (a virtual desktop: display, trays, sound server,
#           accessibility bus, and GNOME Shell and KDE Plasma nested in it).
# Nothing installed is ever removed: apt's simulation is checked first and a removal stops it.
#
#   scripts/install-deps.sh [build|unit|test] [--simulate]   (--simulate: only print apt's simulation)
set -euo pipefail

# One list for both releases. A name marked "bookworm:" or "trixie:" is only installed on that
# release; every other name is the same on both.
build_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins
    # Qt's SVG image and icon plugins, which draw the status icon and every button: inside
    # libqt6svg6 on Debian 12, a package of their own (only recommended) on Debian 13.
    trixie:qt6-svg-plugins
    libsndfile1-dev libpulse-dev libxcb-xinput-dev
    help2man
    # msgfmt puts the translations into the desktop entry and the AppStream data.
    gettext
    # The translations: lupdate and lrelease, their CMake functions (Qt6LinguistTools), and Qt's
    # own messages (its dialogs, the help's standard options) in the recorder's languages.
    qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
)
unit_packages=(
    libgtest-dev googletest libfiu-dev fiu-utils
    # The single-instance tests start a private bus; the engine tests a private PulseAudio
    # server (pulseaudio itself is added below, where it can be).
    dbus pulseaudio-utils
    # ffprobe reads back what the engine wrote.
    ffmpeg
)
test_packages=(
    xvfb xauth trayer tint2 xfce4-panel xfwm4 dbus-x11 at-spi2-core
    python3 python3-gi python3-pyatspi python3-xlib gir1.2-atspi-2.0 xdotool x11-utils x11-apps imagemagick
    python3-pytest python3-dbusmock
    espeak-ng sox clang-format
    debootstrap desktop-file-utils appstream dpkg-dev file lintian man-db
    weston qt6-wayland
    gnome-shell gnome-shell-extension-appindicator mutter xwayland gnome-session-bin
    plasma-workspace plasma-desktop plasma-pa kwin-wayland
    bookworm:qtwayland5   # Plasma 5 runs on Qt 5; Debian 13's Plasma 6 needs only qt6-wayland
    binutils strace
    # The libFuzzer target (tests/fuzz/run.sh).
    clang bookworm:libclang-rt-14-dev trixie:libclang-rt-19-dev
    libfiu0
    # The portable build (build-portable/, -DREGISTRATORE_PORTABLE=ON): the microphone through
    # Qt Multimedia.
    qt6-multimedia-dev
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
case $release in
    bookworm | trixie) ;;
    *) echo "install-deps.sh knows Debian 12 (bookworm) and 13 (trixie), not '${release:-?}':" \
            "installing the packages of Debian 13." >&2
       release=trixie ;;
esac
# The names of `list` that this release installs.
for_release() {
    local name
    for name in "$@"; do
        case $name in
            *:*) [[ ${name%%:*} == "$release" ]] && echo "${name#*:}" ;;
            *) echo "$name" ;;
        esac
    done
}

set_name=${1:-build}
case $set_name in
    build) lists=("${build_packages[@]}") ;;
    unit) lists=("${build_packages[@]}" "${unit_packages[@]}") ;;
    test) lists=("${build_packages[@]}" "${unit_packages[@]}" "${test_packages[@]}") ;;
    *) echo "usage: scripts/install-deps.sh [build|unit|test] [--simulate]" >&2; exit 2 ;;
esac
mapfile -t packages < <(for_release "${lists[@]}")
no_sound_server() { ! installed pulseaudio && ! { installed pipewire-pulse && installed wireplumber; }; }
keeps_pipewire() { installed pipewire-alsa || installed pipewire-audio-client-libraries; }
if [ "$set_name" = test ] && no_sound_server; then
    # The desktop tests run on PulseAudio or on PipeWire (with WirePlumber and pipewire-pulse),
    # whichever the machine has. A machine with neither gets both, so that the tests cover
    # both (they install side by side). pulseaudio conflicts with pipewire-alsa and
    # pipewire-audio-client-libraries, so a PipeWire desktop never gets it.
    packages+=(pipewire-pulse wireplumber)
    keeps_pipewire || packages+=(pulseaudio)
elif [ "$set_name" = unit ] && no_sound_server && ! keeps_pipewire; then
    # The engine tests start a private PulseAudio server (they skip themselves without one).
    packages+=(pulseaudio)
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
