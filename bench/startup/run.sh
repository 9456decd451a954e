#!/usr/bin/env bash
# Start-up time to the mapped main window and peak memory, median of 5, with 2,000 and 10,000
# generated font families and the shipped config.ini; then, with 2,000 families, the same with
# a valid config.ini of 1 MB, whose start-up must stay within 1.2 times the shipped one's.
# Usage: bench/startup/run.sh [build-dir] [family counts, default "2000 10000"]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
counts=${2:-2000 10000}
cmake --build "$build" --target vlfonts bench_startup >/dev/null

shipped=$(mktemp)
# No automatic update check during a benchmark.
sed 's/^auto=1/auto=0/' "$root/dist/config.ini" > "$shipped"
# The shipped settings with a section of hand-kept notes between [Main] and the rest, 1 MB in
# all, so that most keys lie behind the notes.
big=$(mktemp)
/usr/bin/python3 - "$shipped" "$big" <<'PY'
import sys
shipped = open(sys.argv[1], "rb").read()
notes = bytearray(b"[Notes]\r\n")
i = 0
while len(shipped) + len(notes) < 1000 * 1000:
    notes += b"note%d=a note that nobody reads, kept by hand\r\n" % i
    i += 1
at = shipped.index(b"[Preview]")
open(sys.argv[2], "wb").write(shipped[:at] + bytes(notes) + shipped[at:])
PY

# measure N CONFIG: prints "<median ms> <median peak kB> <runs ms>"
measure() {
    "$root/bench/fixture/make_env.sh" "$1" >/dev/null
    local fixture="$root/bench/data/fixture-$1"
    local program
    program=$(mktemp -d)
    cp "$build/bin/vlfonts" "$program/"
    cp "$2" "$program/config.ini"
    local results
    results=$(
        # shellcheck disable=SC1091
        . "$fixture/env.sh"
        for i in 1 2 3 4 5; do
            xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_startup" "$program/vlfonts"
        done
    )
    rm -rf "$program"
    local times peaks
    times=$(echo "$results" | awk '{print $1}' | sort -n | tr '\n' ' ')
    peaks=$(echo "$results" | awk '{print $2}' | sort -n | tr '\n' ' ')
    echo "$(echo "$times" | awk '{print $3}') $(echo "$peaks" | awk '{print $3}') $times"
}

for n in $counts; do
    read -r ms kb runs <<<"$(measure "$n" "$shipped")"
    echo "startup $n families: median $ms ms to the mapped window (runs: $runs)," \
        "median peak memory $(awk -v k="$kb" 'BEGIN{printf "%.1f", k / 1024}') MB"
    if [ "$n" = 2000 ]; then
        read -r bigMs bigKb bigRuns <<<"$(measure "$n" "$big")"
        echo "startup $n families, 1 MB config.ini: median $bigMs ms (runs: $bigRuns)," \
            "median peak memory $(awk -v k="$bigKb" 'BEGIN{printf "%.1f", k / 1024}') MB," \
            "$(awk -v a="$bigMs" -v b="$ms" 'BEGIN{printf "%.2f", a / b}') times the shipped" \
            "config.ini's (target: at most 1.2)"
    fi
done
rm -f "$shipped" "$big"
