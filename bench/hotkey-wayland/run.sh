#!/usr/bin/env bash
# Ctrl+Alt+F to the active main window through KWin, the desktop portal and its KDE back end,
# nested in an X server of its own (the packages come with ./test.sh); the goal is 100 ms.
# Usage: bench/hotkey-wayland/run.sh [presses] [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${2:-$root/build}
cmake --build "$build" --target bench_hotkey-wayland >/dev/null
"$root/tests/isolated.sh" "$build/bench/bench_hotkey-wayland" "${1:-20}"
