#!/bin/bash
# Runs a command inside a private, throw-away Linux desktop:
#   a D-Bus session bus with the accessibility (AT-SPI) bus, Xvfb, trayer as the XEmbed
#   system tray, and a sound server (PulseAudio, or PipeWire with WirePlumber and
#   pipewire-pulse) whose default input is a virtual microphone.
#
#   tests/e2e/desktop-session.sh [--no-tray] [--keep] [--sound SERVER] CMD [ARG...]
#
#   --no-tray   do not start trayer (same as E2E_NO_TRAYER=1)
#   --keep      keep the session folder (logs) after exit (same as E2E_KEEP_SESSION=1)
#   --sound     pulseaudio, pipewire or auto (same as E2E_SOUND_SERVER; auto, the default,
#               takes PulseAudio when it is installed, else PipeWire). The one running is
#               exported as E2E_SOUND_SERVER.
#
# Sound: play into the microphone with `paplay -d vmic_sink file.wav`; the default source
# is `vmic` (the monitor of vmic_sink, remapped so it is an ordinary input). A second pair
# vmic2_sink/vmic2 exists for tests that switch the default input. Playback from the app
# goes to the default sink `speakers`, which never feeds a microphone.
#
# Everything started here carries REGISTRATORE_E2E_SESSION in its environment; on exit,
# whatever happens, every process with that marker is stopped (TERM, then KILL).
set -u

# Become the "child subreaper" (prctl PR_SET_CHILD_SUBREAPER, kept across exec) so that
# daemons which fork away, and anything orphaned during teardown, are reparented to this
# shell and reaped by it instead of lingering as zombies under an init that does not reap.
if [[ -z ${E2E_SUBREAPER:-} ]]; then
    export E2E_SUBREAPER=1
    exec /usr/bin/python3 -E -c '
import ctypes, os, sys
ctypes.CDLL(None, use_errno=True).prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER
os.execv("/bin/bash", ["bash", *sys.argv[1:]])' "${BASH_SOURCE[0]}" "$@"
fi
unset E2E_SUBREAPER

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
no_tray=${E2E_NO_TRAYER:-0}
keep=${E2E_KEEP_SESSION:-0}
sound=${E2E_SOUND_SERVER:-auto}
while [[ $# -gt 0 ]]; do
    case $1 in
        --no-tray) no_tray=1; shift ;;
        --keep) keep=1; shift ;;
        --sound) sound=${2:-}; shift 2 ;;
        --sound=*) sound=${1#--sound=}; shift ;;
        --) shift; break ;;
        -*) echo "desktop-session: unknown option $1" >&2; exit 2 ;;
        *) break ;;
    esac
done
if [[ $# -eq 0 ]]; then
    echo "usage: $0 [--no-tray] [--keep] [--sound pulseaudio|pipewire|auto] CMD [ARG...]" >&2
    exit 2
fi

PY=/usr/bin/python3
READY_TIMEOUT=${E2E_READY_TIMEOUT:-20}   # seconds each service may take to come up

session=$(mktemp -d /tmp/registratore-e2e.XXXXXX) || exit 1
chmod 700 "$session"
logs=$session/logs
mkdir -p "$logs" "$session/home" "$session/config" "$session/data" "$session/cache" "$session/run"
chmod 700 "$session/run"

export REGISTRATORE_E2E_SESSION=$session
export E2E_SESSION_DIR=$session
export HOME=$session/home
export XDG_CONFIG_HOME=$session/config
export XDG_DATA_HOME=$session/data
export XDG_CACHE_HOME=$session/cache
export XDG_RUNTIME_DIR=$session/run
unset WAYLAND_DISPLAY XDG_SESSION_TYPE XDG_CURRENT_DESKTOP DESKTOP_SESSION SESSION_MANAGER \
      DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS DISPLAY XAUTHORITY PULSE_SERVER \
      QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE
# The recorder speaks English, whose words the tests look for (a test may give it another
# language); UTF-8, as typed paths may hold any character.
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=C.UTF-8
export QT_QPA_PLATFORM=xcb
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export NO_AT_BRIDGE=1           # keeps GTK programs (trayer) off the accessibility bus

log() { echo "desktop-session: $*" >&2; }

# --- teardown ---------------------------------------------------------------------------

marked_pids() {
    # Every live process (but this shell) whose environment carries our session marker.
    local f p
    for f in $(grep -lzx "REGISTRATORE_E2E_SESSION=$session" /proc/[0-9]*/environ 2>/dev/null); do
        p=${f#/proc/}; p=${p%/environ}
        [[ $p == "$$" || $p == "$BASHPID" ]] && continue
        [[ -d /proc/$p ]] && echo "$p"
    done
}

cleaned=0
cleanup() {
    local rc=$?
    [[ $cleaned == 1 ]] && return
    cleaned=1
    trap - EXIT INT TERM HUP
    if [[ -n ${cmd_pid:-} ]] && kill -0 "$cmd_pid" 2>/dev/null; then
        kill -TERM -- "-$cmd_pid" 2>/dev/null || kill -TERM "$cmd_pid" 2>/dev/null
    fi
    # Let the sound server exit on its own first, so it removes its socket and pid file.
    if [[ -S $XDG_RUNTIME_DIR/pulse/native ]]; then
        timeout 3 pactl exit >/dev/null 2>&1
    fi
    local pids i
    pids=$(marked_pids)
    if [[ -n $pids ]]; then
        # shellcheck disable=SC2086
        kill -TERM $pids 2>/dev/null
        for ((i = 0; i < 30; i++)); do
            pids=$(marked_pids)
            [[ -z $pids ]] && break
            sleep 0.1
        done
        if [[ -n $pids ]]; then
            log "killing what did not stop on TERM: $(echo $pids)"
            # shellcheck disable=SC2086
            kill -KILL $pids 2>/dev/null
            for ((i = 0; i < 20; i++)); do
                pids=$(marked_pids)
                [[ -z $pids ]] && break
                sleep 0.1
            done
        fi
    fi
    pids=$(marked_pids)
    if [[ -n $pids ]]; then
        log "processes still running after teardown: $(echo $pids)"
        ps -o pid,stat,args -p "$(echo $pids | tr ' ' ,)" >&2
        [[ $rc == 0 ]] && rc=1
    fi
    # A killed Xvfb leaves its lock and socket behind; remove them only if they are ours.
    if [[ -n ${display_num:-} && $(tr -d ' ' 2>/dev/null <"/tmp/.X${display_num}-lock") == "${xvfb_pid:-}" ]]; then
        rm -f "/tmp/.X${display_num}-lock" "/tmp/.X11-unix/X${display_num}"
    fi
    if [[ $keep == 1 || $rc != 0 ]]; then
        log "session folder kept: $session"
    else
        rm -rf "$session"
    fi
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

fail() {
    log "$*"
    local f
    for f in "$logs"/*.log; do
        [[ -s $f ]] || continue
        echo "----- $(basename "$f") (last lines) -----" >&2
        tail -n 20 "$f" >&2
    done
    exit 1
}

# wait_until TIMEOUT WHAT CMD...: polls CMD (every 50 ms) until it succeeds.
wait_until() {
    local timeout=$1 what=$2
    shift 2
    local deadline=$((SECONDS + timeout))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS >= deadline)) && fail "timed out after ${timeout}s waiting for $what"
        sleep 0.05
    done
}

need() {
    local c
    for c in "$@"; do
        command -v "$c" >/dev/null 2>&1 || fail "missing program '$c' (see the package list in tests/e2e/README.md)"
    done
}
has_pipewire() { command -v pipewire && command -v wireplumber && command -v pipewire-pulse; } >/dev/null 2>&1
if [[ $sound == auto ]]; then
    if command -v pulseaudio >/dev/null 2>&1; then sound=pulseaudio
    elif has_pipewire; then sound=pipewire
    else fail "no sound server: install pulseaudio, or pipewire-pulse and wireplumber"
    fi
fi
case $sound in
    pulseaudio) need pulseaudio ;;
    pipewire) need pipewire wireplumber pipewire-pulse ;;
    *) fail "unknown sound server '$sound' (pulseaudio, pipewire or auto)" ;;
esac
export E2E_SOUND_SERVER=$sound
need dbus-daemon dbus-send Xvfb xdpyinfo pactl paplay xdotool xwininfo import "$PY"
[[ -x /usr/libexec/at-spi-bus-launcher ]] || fail "missing /usr/libexec/at-spi-bus-launcher (at-spi2-core)"
[[ $no_tray == 1 ]] || need trayer

# --- D-Bus session bus -----------------------------------------------------------------

dbus_out=$(timeout "$READY_TIMEOUT" dbus-daemon --session --fork --nopidfile \
    --print-address=1 --print-pid=1 2>"$logs/dbus.log") || fail "dbus-daemon did not start"
DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$dbus_out")
export DBUS_SESSION_BUS_ADDRESS
[[ -n $DBUS_SESSION_BUS_ADDRESS ]] || fail "dbus-daemon printed no address"
wait_until "$READY_TIMEOUT" "the session bus" \
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetId

# --- accessibility bus -------------------------------------------------------------------

setsid /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 \
    >"$logs/at-spi-bus-launcher.log" 2>&1 </dev/null &
a11y_address() {
    dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress
}
wait_until "$READY_TIMEOUT" "the accessibility bus launcher" a11y_address
a11y_addr=$(a11y_address | tr -d ' ')
wait_until "$READY_TIMEOUT" "the accessibility bus" \
    dbus-send --bus="$a11y_addr" --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetId
# The registry is what screen readers (and our harness) talk to.
setsid /usr/libexec/at-spi2-registryd --use-gnome-session=false \
    >"$logs/at-spi2-registryd.log" 2>&1 </dev/null &
wait_until "$READY_TIMEOUT" "the accessibility registry" \
    dbus-send --bus="$a11y_addr" --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.GetNameOwner string:org.a11y.atspi.Registry
# Tell every toolkit that assistive technology is listening.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true \
    >/dev/null 2>&1

# --- X display ---------------------------------------------------------------------------

displayfd_file=$session/display
: >"$displayfd_file"
# -displayfd picks a free display number and writes it once the server accepts connections.
setsid Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp -noreset +extension XInputExtension \
    5>"$displayfd_file" >"$logs/xvfb.log" 2>&1 </dev/null &
xvfb_pid=$!
display_written() { grep -q '^[0-9][0-9]*$' "$displayfd_file"; }
wait_until "$READY_TIMEOUT" "Xvfb" display_written
kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb exited"
display_num=$(head -n1 "$displayfd_file")
export DISPLAY=:$display_num
wait_until "$READY_TIMEOUT" "display $DISPLAY" xdpyinfo
"$PY" -E "$here/xdesk.py" backdrop || log "could not paint the desktop background"

# --- system tray ---------------------------------------------------------------------------

# Trayer sits at the top-right corner, like a desktop panel's notification area. The harness
# restarts it with the same arguments for the tests that need a desktop without one.
export E2E_TRAYER_ARGS="--edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 28 --SetDockType true --SetPartialStrut true --transparent false --expand true --padding 0 --margin 0 --distance 0 --tint 0x303030"
export E2E_TRAYER_PIDFILE=$session/trayer.pid
export E2E_TRAYER_LOG=$logs/trayer.log
if [[ $no_tray != 1 ]]; then
    # Through sh, so that the log tells when and how trayer ended if it did so by itself.
    # shellcheck disable=SC2086
    setsid sh -c 'trayer "$@"; echo "trayer exited with status $? at $(date +%T.%N)"' trayer \
        $E2E_TRAYER_ARGS >"$E2E_TRAYER_LOG" 2>&1 </dev/null &
    echo $! >"$E2E_TRAYER_PIDFILE"
    wait_until "$READY_TIMEOUT" "trayer to own the system tray" "$PY" -E "$here/xdesk.py" tray-ready
fi

# --- sound ---------------------------------------------------------------------------------

# Clients never start a sound server of their own: if ours is gone, they must fail.
printf 'autospawn = no\n' >"$session/pulse-client.conf"
export PULSE_CLIENTCONFIG=$session/pulse-client.conf
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
if [[ $sound == pulseaudio ]]; then
    timeout "$READY_TIMEOUT" pulseaudio -D -n --exit-idle-time=-1 --system=no --disallow-exit=no \
        --load=module-native-protocol-unix --log-target=file:"$logs/pulseaudio.log" \
        >>"$logs/pulseaudio-start.log" 2>&1 || fail "pulseaudio did not start"
else
    # No systemd here: the three daemons run as ordinary children of this session, each
    # finding the others through XDG_RUNTIME_DIR and the session bus.
    for daemon in pipewire wireplumber pipewire-pulse; do
        setsid "$daemon" >"$logs/$daemon.log" 2>&1 </dev/null &
        [[ $daemon == pipewire ]] && wait_until "$READY_TIMEOUT" "pipewire" test -S "$XDG_RUNTIME_DIR/pipewire-0"
    done
    pulse_pid=$!
fi
wait_until "$READY_TIMEOUT" "$sound" pactl info
# The process that serves the pulse protocol, for the benchmark's figures.
export E2E_SOUND_SERVER_PID=${pulse_pid:-$(cut -d' ' -f1 "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null)}
pa() { pactl "$@" >>"$logs/pactl.log" 2>&1 || fail "pactl $* failed"; }
# Load order matters: some clients take the first non-monitor source as the default input.
pa load-module module-null-sink sink_name=vmic_sink sink_properties=device.description=Virtual_microphone_feed
pa load-module module-remap-source master=vmic_sink.monitor source_name=vmic source_properties=device.description=Virtual_microphone
pa load-module module-null-sink sink_name=vmic2_sink sink_properties=device.description=Second_microphone_feed
pa load-module module-remap-source master=vmic2_sink.monitor source_name=vmic2 source_properties=device.description=Second_microphone
pa load-module module-null-sink sink_name=speakers sink_properties=device.description=Speakers
pa set-default-source vmic
pa set-default-sink speakers
[[ $(pactl get-default-source 2>/dev/null) == vmic ]] || fail "the default source is not vmic"

log "ready: DISPLAY=$DISPLAY session=$session"

# --- the command -----------------------------------------------------------------------------

# Run in its own process group, in the background, so a signal to this script is handled
# at once (a foreground child would delay the trap until it exits).
setsid "$@" &
cmd_pid=$!
wait "$cmd_pid"
rc=$?
cmd_pid=
exit "$rc"
