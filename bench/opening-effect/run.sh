#!/usr/bin/env bash
# The opening effect's 3,500 steps for three window sizes under Xvfb; the limit is 1 s.
# Usage: bench/opening-effect/run.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target bench_opening-effect >/dev/null
for size in "400 300" "1000 700" "1280 1000"; do
    # shellcheck disable=SC2086
    xvfb-run -a -s "-screen 0 1600x1200x24" "$build/bench/bench_opening-effect" $size 15
done
