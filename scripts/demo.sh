#!/usr/bin/env bash
# One command from a fresh machine to the panel talking to a simulated
# projector. The program gets a private settings store whose COM1 is the
# simulator, so your own settings are never read or touched. Without a
# display it tours the panel offscreen instead: it presses a sequence of
# buttons, lists what the views show after each, writes a screenshot and
# exits non-zero if a step did not show what it should.
#
#   SIM_OPTIONS="--delay 200 --echo"   more options for the simulator
#                                      (tallis-projector-sim --help lists them)
#   DEMO_TRANSPORT=rfc2217             the simulator behind ser2net, COM1 its
#                                      Telnet COM-PORT address on loopback;
#                  tcp                 the same through ser2net's raw TCP port;
#                  listen              the simulator's own TCP port (--listen);
#                                      unset: its pseudo-terminal, as a device
#   BUILD_DIR=dir                      where to build (default build)
set -euo pipefail
cd "$(dirname "$0")/.."

transport=${DEMO_TRANSPORT:-pty}
case "$transport" in
pty | rfc2217 | tcp | listen) ;;
*)
    echo "DEMO_TRANSPORT is rfc2217, tcp, listen or unset, not \"$transport\"." >&2
    exit 2
    ;;
esac

./scripts/setup.sh

build=${BUILD_DIR:-build}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target tallis-control tallis-projector-sim tallis-demo-tour

headless=0
[ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && headless=1

work=$(mktemp -d)
sim_pid=
ser2net_pid=
# ser2net may sit out a SIGTERM while it retries a port: a few seconds, then SIGKILL.
stop_process() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
stop_simulator() {
    # ser2net first: it holds the simulator's pseudo-terminal.
    stop_process "$ser2net_pid"
    stop_process "$sim_pid"
    rm -rf "$work"
}
trap stop_simulator EXIT

read -ra sim_options <<<"${SIM_OPTIONS:-}"
if [ "$headless" = 1 ]; then
    # A short count-down keeps the tour brief; SIM_OPTIONS can still change it.
    sim_options=(--count-down 2000 "${sim_options[@]}")
else
    # Its log of every command and reply goes to this terminal.
    sim_options=(--verbose "${sim_options[@]}")
fi
# The simulator answers on a pseudo-terminal, which ser2net may put on the
# network, or with --listen on a TCP port of its own.
ready=device
if [ "$transport" = listen ]; then
    sim_options=(--listen 127.0.0.1:0 "${sim_options[@]}")
    ready=listening
fi
"$build/tools/projector_sim/tallis-projector-sim" "${sim_options[@]}" >"$work/sim.out" &
sim_pid=$!
for _ in $(seq 100); do
    grep -q "^$ready: " "$work/sim.out" && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
done
# Its device, or HOST:PORT with --listen.
sim_at=$(sed -n "s/^$ready: //p" "$work/sim.out")
if [ -z "$sim_at" ]; then
    echo "The projector simulator did not start." >&2
    exit 1
fi

# Whether process $1 listens on 127.0.0.1 port $2. Read from the kernel's
# socket table, not by connecting: a connection makes ser2net open the device,
# and the program connecting right after would be turned away.
listens_on() {
    local pid=$1 port inodes
    port=$(printf '%04X' "$2")
    inodes=$(find "/proc/$pid/fd" -lname 'socket:*' -printf '%l\n' 2>/dev/null | tr -dc '0-9\n')
    [ -n "$inodes" ] || return 1
    # "sl local_address rem_address st ... inode"; 0A is LISTEN.
    awk -v local="0100007F:$port" '$2 == local && $4 == "0A" { print $10 }' /proc/net/tcp |
        grep -qxF "$inodes"
}

# ser2net in front of the pseudo-terminal, on two ports that were free a
# moment ago; should another program take one first, it tries two others.
start_ser2net() {
    local telnet raw
    for _ in $(seq 5); do
        telnet=$(shuf -i 20000-60999 -n 1)
        raw=$((telnet + 1))
        # No UUCP lock (the shared lock directory may not be writable), no
        # host access files (the machine's own must not turn the demo away).
        cat >"$work/ser2net.yaml" <<YAML
%YAML 1.1
---
connection: &rfc2217
  accepter: telnet(rfc2217),tcp(tcpd=off),127.0.0.1,$telnet
  connector: serialdev(nouucplock),$sim_at,9600n81,local
connection: &raw
  accepter: tcp(tcpd=off),127.0.0.1,$raw
  connector: serialdev(nouucplock),$sim_at,9600n81,local
YAML
        # -d: in the foreground, where the trap can end it.
        ser2net -d -c "$work/ser2net.yaml" >"$work/ser2net.out" 2>&1 &
        ser2net_pid=$!
        for _ in $(seq 30); do
            kill -0 "$ser2net_pid" 2>/dev/null || break
            if listens_on "$ser2net_pid" "$telnet" && listens_on "$ser2net_pid" "$raw"; then
                address="tcp://127.0.0.1:$raw"
                [ "$transport" = tcp ] || address="rfc2217://127.0.0.1:$telnet"
                return 0
            fi
            sleep 0.1
        done
        stop_process "$ser2net_pid"
        ser2net_pid=
    done
    return 1
}

case "$transport" in
pty) port=$sim_at ;;
listen) port="tcp://$sim_at" ;;
rfc2217 | tcp)
    if ! start_ser2net; then
        echo "ser2net did not start:" >&2
        cat "$work/ser2net.out" >&2
        exit 1
    fi
    port=$address
    ;;
esac

mkdir -p "$work/config/VORN"
cat >"$work/config/VORN/VORN.conf" <<CONF
[StartUP]
ComPort=1
BaudRate=96

[Ports]
COM1=$port
CONF

if [ "$headless" = 1 ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): touring the panel offscreen instead."
    status=0
    XDG_CONFIG_HOME="$work/config" "$build/tools/demo_tour/tallis-demo-tour" \
        --screenshot "$(cd "$build" && pwd)/demo-tour.png" "$port" || status=$?
    exit "$status"
fi

case "$transport" in
pty | listen) echo "Simulated projector on $port (COM1, 9600 baud). Close the panel to end the demo." ;;
*) echo "Simulated projector on $sim_at behind ser2net at $port (COM1, 9600 baud). Close the panel to end the demo." ;;
esac
XDG_CONFIG_HOME="$work/config" "$build/src/main/tallis-control"
