#!/usr/bin/env bash
# HTML export of every family with 2,000 and 10,000 generated families, median of 5.
# Usage: bench/export/run.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target bench_export >/dev/null
for n in 2000 10000; do
    "$root/bench/fixture/make_env.sh" "$n" >/dev/null
    (
        # shellcheck disable=SC1091
        . "$root/bench/data/fixture-$n/env.sh"
        xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_export"
    )
done
