#!/usr/bin/env bash
# README's first command on a new machine: a clean Debian of the given release, nothing installed
# beforehand, a copy of this checkout, and `scripts/launch.sh` run there as root on a display.
#
#   tests/package/clean-machine-test.sh bookworm|trixie [--unit|--all]
#
# The chroot (chroot.sh) reaches a virtual X display of this machine (Xvfb, through the abstract
# X socket) with trayer as its status bar. The launch must install what it needs, build, and
# leave a recorder running whose status icon shows: it says "Are we there yet?" as the panel
# opens at the icon, and Qt loads its SVG icon engine (without it every icon is blank). With
# --unit it then installs the unit set (scripts/install-deps.sh unit), builds the tests with
# warnings as errors in the same build folder and runs the `unit` and `engine` labels there.
# With --all it runs README's second command there instead (scripts/test.sh: every test; an hour
# or more), with /sys bound too, and prints its closing lines.
# Each step prints how long it took. Needs root. Exits 0 only when every check passed.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
suite=${1:-}
mode=${2:-}
started_at=$SECONDS

status=0
pass() { echo "PASS: $1"; }
fail() { status=1; echo "FAIL: $1"; [[ $# -lt 2 ]] || sed 's/^/    /' <<<"$2" | tail -n 40; }
finish() {
    echo "clean $suite machine test $( ((status == 0)) && echo passed || echo failed) in $((SECONDS - started_at)) s"
    exit "$status"
}
step() { echo "-- $* ($((SECONDS - started_at)) s)"; }

case $suite in
    bookworm | trixie) ;;
    *) echo "usage: tests/package/clean-machine-test.sh bookworm|trixie [--unit|--all]" >&2; exit 2 ;;
esac
if [[ $(id -u) -ne 0 ]]; then
    fail "this test needs root (debootstrap, chroot, apt-get inside the chroot)"
    finish
fi
for tool in debootstrap chroot Xvfb trayer xwininfo; do
    command -v "$tool" >/dev/null || { fail "missing tool $tool (scripts/install-deps.sh test installs it)"; finish; }
done

work=$(mktemp -d /tmp/registratore-clean.XXXXXX)
source "$repo/tests/package/chroot.sh"
launch_pid=""
tray_pid=""
xvfb_pid=""
cleanup() {
    stop_pid "$launch_pid"
    stop_pid "$tray_pid"
    stop_pid "$xvfb_pid"
    chroot_close
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

chroot_open "$suite" || finish
chroot_mount_dev || { fail "binding /dev into the chroot"; finish; }

# The checkout as a clone has it: the files git tracks, as they are in the work tree. A copy
# without its history (this test run inside another clean machine, which has no git) gives all
# its files but the build folders.
checkout_files() {
    if command -v git >/dev/null && git -C "$repo" rev-parse --git-dir >/dev/null 2>&1; then
        git ls-files -z --cached --others --exclude-standard
    else
        find . -path './build*' -prune -o -type f -printf '%P\0'
    fi
}
checkout=/root/registratore
mkdir -p "$root$checkout"
if ! (cd "$repo" && checkout_files |
          xargs -0 -r sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh |
          tar --null -T - -cf -) | tar -C "$root$checkout" -xf -; then
    fail "copying the checkout into the chroot"
    finish
fi

start_xvfb || finish
start_trayer

# --- README's first command --------------------------------------------------------------------

step "scripts/launch.sh in the clean $suite chroot"
t0=$SECONDS
# QT_DEBUG_PLUGINS shows which plugins Qt loads: the SVG icon engine draws the status icon.
chroot "$root" "${root_env[@]}" DISPLAY="$display" QT_DEBUG_PLUGINS=1 XDG_RUNTIME_DIR=/tmp/runtime-root \
    sh -c "mkdir -p -m 700 /tmp/runtime-root && cd $checkout && exec scripts/launch.sh" \
    >"$work/out" 2>"$work/err" </dev/null &
launch_pid=$!
launched=0
while kill -0 "$launch_pid" 2>/dev/null && ((SECONDS - t0 < 2700)); do
    grep -qF "Are we there yet?" "$work/out" && { launched=1; break; }
    sleep 1
done
chroot_keep_archives
if ((launched)); then
    pass "scripts/launch.sh on a clean Debian $suite: installs, builds and starts the recorder, whose panel opens at its icon, in $((SECONDS - t0)) s"
    sleep 2
    if ! kill -0 "$launch_pid" 2>/dev/null; then
        fail "the recorder is still running 2 s later" "$(grep -v '^qt\.core\.\|^ ' "$work/err")"
    elif grep -q 'iconengines/libqsvgicon.so" loaded library' "$work/err"; then
        pass "the status icon and buttons are drawn: Qt's SVG icon engine is loaded"
    else
        fail "the status icon and buttons are drawn: Qt's SVG icon engine is loaded" \
            "$(grep -i 'svg\|iconengines' "$work/err")"
    fi
    if grep -q 'Cannot load library.*\(libqsvg\|libqxcb\)' "$work/err"; then
        fail "Qt loads its platform and SVG plugins" "$(grep 'Cannot load library' "$work/err")"
    fi
else
    fail "scripts/launch.sh on a clean Debian $suite starts the recorder within 45 minutes" \
        "$(cat "$work/out"; grep -v '^qt\.core\.\|^ ' "$work/err")"
fi
stop_pid "$launch_pid"
launch_pid=""
((launched)) || finish

# The package built here would depend on the package that holds Qt's SVG icon engine here.
plugin=$(in_root sh -c 'ls /usr/lib/*/qt6/plugins/iconengines/libqsvgicon.so' 2>/dev/null | head -n1)
holder=$(in_root dpkg-query -S "$plugin" 2>/dev/null | cut -d: -f1)
depends=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_DEPENDS "\(.*\)")$/\1/p' "$root$checkout/build/CPackConfig.cmake")
if [[ -n $holder ]] && grep -Eq "(^|, )$holder(,|$)" <<<"$depends"; then
    pass "the package would depend on $holder, which holds Qt's SVG plugins on Debian $suite (Depends: $depends)"
else
    fail "the package depends on what holds Qt's SVG plugins on Debian $suite ('${holder:-nothing}')" "Depends: $depends"
fi

# --- the unit and engine tests -----------------------------------------------------------------

if [[ $mode == --unit ]]; then
    step "the unit and engine tests in the same chroot"
    t0=$SECONDS
    log=$work/unit.log
    if in_root sh -c "cd $checkout && scripts/install-deps.sh unit && scripts/build.sh build -DREGISTRATORE_TESTS=ON" \
            >"$log" 2>&1; then
        chroot_keep_archives
        pass "scripts/install-deps.sh unit and a build of the tests with -Wall -Wextra -Werror on Debian $suite, in $((SECONDS - t0)) s"
        t0=$SECONDS
        if in_root sh -c "cd $checkout/build && ctest -L 'unit|engine' --output-on-failure" >"$log" 2>&1; then
            pass "Debian $suite: $(grep -E 'tests passed' "$log" | tail -n1) (ctest -L 'unit|engine', $((SECONDS - t0)) s)"
        else
            fail "Debian $suite: ctest -L 'unit|engine'" "$(grep -E 'Failed|tests passed|\*\*\*' "$log")"
        fi
    else
        fail "scripts/install-deps.sh unit and a build of the tests on Debian $suite" "$(tail -n 40 "$log")"
    fi
fi

if [[ $mode == --all ]]; then
    step "scripts/test.sh in the same chroot"
    t0=$SECONDS
    mkdir -p "$root/sys" && mount --bind /sys "$root/sys"
    # Its own clean-machine tests reuse this machine's chroot tarballs.
    mkdir -p "$root$chroot_cache" && mount --bind "$chroot_cache" "$root$chroot_cache"
    log=${CLEAN_MACHINE_LOG:-$work/test.log}
    if in_root sh -c "cd $checkout && scripts/test.sh" >"$log" 2>&1; then
        pass "scripts/test.sh on Debian $suite: $(tail -n1 "$log") in $((SECONDS - t0)) s"
    else
        fail "scripts/test.sh on Debian $suite ($((SECONDS - t0)) s)" \
            "$(grep -E '^ *[0-9]+/[0-9]+ Test|FAILED|Failed|passed, ' "$log")"
    fi
fi

finish
