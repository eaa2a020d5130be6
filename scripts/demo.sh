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
#   BUILD_DIR=dir                      where to build (default build)
set -euo pipefail
cd "$(dirname "$0")/.."

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
stop_simulator() {
    if [ -n "$sim_pid" ]; then
        kill -TERM "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
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
"$build/tools/projector_sim/tallis-projector-sim" "${sim_options[@]}" >"$work/sim.out" &
sim_pid=$!
for _ in $(seq 100); do
    grep -q '^device: ' "$work/sim.out" && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
done
device=$(sed -n 's/^device: //p' "$work/sim.out")
if [ -z "$device" ]; then
    echo "The projector simulator did not start." >&2
    exit 1
fi

mkdir -p "$work/config/VORN"
cat >"$work/config/VORN/VORN.conf" <<CONF
[StartUP]
ComPort=1
BaudRate=96

[Ports]
COM1=$device
CONF

if [ "$headless" = 1 ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): touring the panel offscreen instead."
    status=0
    XDG_CONFIG_HOME="$work/config" "$build/tools/demo_tour/tallis-demo-tour" \
        --screenshot "$(cd "$build" && pwd)/demo-tour.png" "$device" || status=$?
    exit "$status"
fi

echo "Simulated projector on $device (COM1, 9600 baud). Close the panel to end the demo."
XDG_CONFIG_HOME="$work/config" "$build/src/main/tallis-control"
