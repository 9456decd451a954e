#!/usr/bin/env bash
# The magnifier fed by a 1920x1080 screen-cast stream at 60 frames a second, from a PipeWire
# daemon and session manager of the bench's own, under Xvfb. Goal: under 5 % of one core.
# Usage: bench/magnifier-stream/run.sh [build-dir] [seconds]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
seconds=${2:-10}
cmake --build "$build" --target bench_magnifier-stream screencast-producer >/dev/null
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/config" "$work/state"
chmod 700 "$work/run"
cat >"$work/inner.sh" <<INNER
set -euo pipefail
export HOME="$work" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" \
    XDG_STATE_HOME="$work/state"
pipewire >/dev/null 2>&1 &
until [ -S "$work/run/pipewire-0" ]; do sleep 0.05; done
wireplumber >/dev/null 2>&1 &
sleep 1
coproc producer { exec "$build/tests/screencast-producer" --size 1920x1080 --rate 60 \
    --cursor 500,300 --stamp; }
read -r _ node <&"\${producer[0]}"
cat /proc/loadavg | awk '{print "load average: " \$1 " " \$2 " " \$3}'
xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bench/bench_magnifier-stream" \
    "$work/run/pipewire-0" "\$node" "$seconds"
INNER
dbus-run-session -- bash "$work/inner.sh"
