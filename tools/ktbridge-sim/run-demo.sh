#!/usr/bin/env bash
# Runs the configurator on the device simulator: starts ktbridge-sim, then the application
# with the simulator's pseudo-terminal offered first (KTBRIDGE_EXTRA_PORTS), and stops the
# simulator when the application ends. Without the application it runs the simulator alone
# and shows how to talk to it.
#
# Usage: run-demo.sh [BUILDDIR] [APPLICATION ARGUMENTS...]
# KTBRIDGE_SIM_ARGS adds simulator options, e.g. KTBRIDGE_SIM_ARGS="--fault split --baud 9600".
set -euo pipefail

builddir=${1:-build}
[ $# -gt 0 ] && shift
sim="$builddir/bin/ktbridge-sim"
app="$builddir/bin/ktbridge-configurator"
read -r -a sim_args <<< "${KTBRIDGE_SIM_ARGS:-}"

if [ ! -x "$sim" ]; then
    echo "run-demo.sh: $sim not found; build the project first" >&2
    exit 1
fi

portfile=$(mktemp)
sim_pid=""
app_pid=""
# Both run in the background so that a signal to this script is handled at once (a
# foreground child would hold it back until the child ends) and passed on to them.
stop() {
    for pid in "$app_pid" "$sim_pid"; do
        [ -n "$pid" ] && kill -TERM "$pid" 2>/dev/null || true
    done
}
cleanup() {
    stop
    [ -n "$sim_pid" ] && wait "$sim_pid" 2>/dev/null || true
    rm -f "$portfile"
}
trap stop INT TERM HUP
trap cleanup EXIT

# Waits until the process has ended, through interruptions by signals; returns its status.
wait_for() {
    local status=0
    while :; do
        wait "$1" && status=0 || status=$?
        kill -0 "$1" 2>/dev/null || return "$status"
    done
}

if [ -x "$app" ]; then
    "$sim" "${sim_args[@]}" >"$portfile" &
else
    "$sim" --verbose "${sim_args[@]}" >"$portfile" &
fi
sim_pid=$!

# The first line the simulator prints is its pseudo-terminal.
port=""
for _ in $(seq 200); do
    port=$(head -n 1 "$portfile")
    [ -n "$port" ] && break
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        wait "$sim_pid" || true
        sim_pid=""
        echo "run-demo.sh: the simulator did not start" >&2
        exit 1
    fi
    sleep 0.05
done
if [ -z "$port" ]; then
    echo "run-demo.sh: the simulator did not report its pseudo-terminal" >&2
    exit 1
fi

if [ -x "$app" ]; then
    echo "Simulated KT Bridge on $port"
    # A settings folder of the demo's own: a port remembered by an earlier real run would
    # otherwise win over the simulator, and the demo must not change the user's choice.
    mkdir -p "$builddir/demo-home"
    XDG_CONFIG_HOME="$builddir/demo-home" KTBRIDGE_EXTRA_PORTS="$port" "$app" "$@" &
    app_pid=$!
    status=0
    wait_for "$app_pid" || status=$?
    app_pid=""
    exit "$status"
fi

cat <<TEXT
A simulated KT Bridge boot loader is listening on $port
(serial line 115200 baud, 8N1; every frame in and out is logged below).

Talk to it from another terminal, for example ask for the product ID:
    stty -F $port raw -echo
    exec 3<>$port; printf '\x43\x00\x01\x50\x12\x0d' >&3; timeout 1 cat <&3 | od -An -tx1; exec 3<&-
The reply is 43 00 07 50 00 00 c0 de 00 03 09 0d: 'P' and the product ID 0000c0de0003.
See $sim --help for every request and the fault modes. Press Ctrl+C to stop.
TEXT
status=0
wait_for "$sim_pid" || status=$?
sim_pid=""
exit "$status"
