#!/usr/bin/env bash
# Font list fill (names in the interface language, sorted), selection and refresh timings, and
# process start to the shown list, with 2,000 and 10,000 generated families, half of them with a
# Chinese name too. Usage: bench/catalogue/run.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target bench_catalogue >/dev/null
# Wall times on a shared machine mean little without the competition they met.
machine() { printf 'nproc %s, load average %s' "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"; }
for n in 2000 10000; do
    VLBENCH_CHINESE_NAMES=1 "$root/bench/fixture/make_env.sh" "$n" >/dev/null
    (
        # shellcheck disable=SC1091
        . "$root/bench/data/fixture-$n-zh/env.sh"
        echo "($(machine))"
        xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_catalogue"
        starts=$(for i in 1 2 3 4 5; do
            xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_catalogue" startup
        done | sort -n | tr '\n' ' ')
        echo "families $n: process start to the list shown, median $(echo "$starts" | awk '{print $3}') ms (runs: $starts)"
        echo "($(machine))"
    )
done
