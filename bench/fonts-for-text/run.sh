#!/usr/bin/env bash
# Finding fonts for a text with 10,000 generated families of known coverage (make_env.sh with
# VLBENCH_COVERAGE=1): the window's first opening and the memory it adds, median of 5 processes,
# then the results after a keystroke and after a choice of language.
# Usage: bench/fonts-for-text/run.sh [build-dir] [families]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
n=${2:-10000}
cmake --build "$build" --target bench_fonts-for-text >/dev/null
machine() { printf 'nproc %s, load average %s' "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"; }
VLBENCH_COVERAGE=1 "$root/bench/fixture/make_env.sh" "$n" >/dev/null
# shellcheck disable=SC1091
. "$root/bench/data/fixture-$n-cover/env.sh"
run() { xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_fonts-for-text" "$@"; }
echo "($(machine))"
opens=$(for i in 1 2 3 4 5; do run open; done | sort -n)
echo "$opens" | awk -v n="$n" '{t[NR]=$1; r[NR]=$2; p[NR]=$3; c=$4}
    END {asort(r); asort(p);
         printf "families %d: window opened the first time in %.1f ms (median of 5; runs %s %s %s %s %s), %d listed\n", n, t[3], t[1], t[2], t[3], t[4], t[5], c;
         printf "memory grew by %.1f MB resident, %.1f MB at the peak (medians)\n", r[3], p[3]}'
run
echo "($(machine))"
