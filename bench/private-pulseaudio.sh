# Sourced by the engine benchmarks: starts a PulseAudio server of their own in a new runtime
# folder ($runtime; its pid is $server), stopped and removed on exit, and waits until it answers.
# It keeps off the session bus, where the desktop's own server (or the benchmark's) has its name,
# and off the session's client settings.
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
unset PULSE_SERVER PULSE_RUNTIME_PATH PULSE_CLIENTCONFIG
env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --log-level=error --log-target=file:"$runtime/pulseaudio.log" \
    "--load=module-native-protocol-unix auth-anonymous=1" &
server=$!
cleanup() {
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || { echo "the private sound server did not start:" >&2; cat "$runtime/pulseaudio.log" >&2; exit 1; }
