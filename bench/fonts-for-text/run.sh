#!/usr/bin/env bash
# Finding fonts for a text with 10,000 generated families of known coverage (make_env.sh with
# VLBENCH_COVERAGE=1): the window's first opening and the memory it adds, median of 5 processes,
# then the results after a keystroke and after a choice of language. The fonts lie in folders of
# 100, as a large library is kept; VLBENCH_FOLDER_SIZE=0 puts them all in one folder, whose one
# cache (17 MB with 10,000 fonts) fontconfig holds whole while it is read.
# Usage: bench/fonts-for-text/run.sh [build-dir] [families]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
n=${2:-10000}
cmake --build "$build" --target bench_fonts-for-text >/dev/null
machine() { printf 'nproc %s, load average %s' "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"; }
folder_size=${VLBENCH_FOLDER_SIZE-100}
VLBENCH_COVERAGE=1 VLBENCH_FOLDER_SIZE=$folder_size "$root/bench/fixture/make_env.sh" "$n" >/dev/null
fixture=$root/bench/data/fixture-$n-cover
if [ "$folder_size" -gt 0 ]; then
    fixture=$fixture-by$folder_size
fi
# shellcheck disable=SC1091
. "$fixture/env.sh"
run() { xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_fonts-for-text" "$@"; }
echo "$([ "$folder_size" -gt 0 ] && echo "$folder_size fonts a folder" || echo "one folder") ($(machine))"
opens=$(for i in 1 2 3 4 5; do run open; done)
col() { echo "$opens" | cut -d' ' -f"$1" | sort -n | tr '\n' ' '; }
mid() { col "$1" | cut -d' ' -f3; }
echo "families $n, $(echo "$opens" | head -1 | cut -d' ' -f4) listed: window opened the first time in $(mid 1) ms (median of 5: $(col 1))"
echo "memory grew by $(mid 2) MB resident ($(col 2)), $(mid 3) MB at the peak ($(col 3))"
run
echo "($(machine))"
