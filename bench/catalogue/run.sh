#!/usr/bin/env bash
# Font list fill (names in the interface language, sorted), selection and refresh timings, and
# process start to the shown list, with 2,000 and 10,000 generated families, half of them with a
# Chinese name too. Usage: bench/catalogue/run.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target bench_catalogue >/dev/null
for n in 2000 10000; do
    VLBENCH_CHINESE_NAMES=1 "$root/bench/fixture/make_env.sh" "$n" >/dev/null
    (
        # shellcheck disable=SC1091
        . "$root/bench/data/fixture-$n-zh/env.sh"
        xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_catalogue"
        starts=$(for i in 1 2 3 4 5; do
            xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_catalogue" startup
        done | sort -n | tr '\n' ' ')
        echo "families $n: process start to the list shown, median $(echo "$starts" | awk '{print $3}') ms (runs: $starts)"
    )
done
