#!/usr/bin/env bash
# Start-up time to the mapped main window and peak memory, median of 5, with 2,000 and 10,000
# generated font families. Usage: bench/startup/run.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target vlfonts bench_startup >/dev/null
for n in 2000 10000; do
    "$root/bench/fixture/make_env.sh" "$n" >/dev/null
    fixture="$root/bench/data/fixture-$n"
    program=$(mktemp -d)
    cp "$build/bin/vlfonts" "$program/"
    # No automatic update check during a benchmark.
    sed 's/^auto=1/auto=0/' "$root/dist/config.ini" > "$program/config.ini"
    results=$(
        # shellcheck disable=SC1091
        . "$fixture/env.sh"
        for i in 1 2 3 4 5; do
            xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_startup" "$program/vlfonts"
        done
    )
    rm -rf "$program"
    times=$(echo "$results" | awk '{print $1}' | sort -n | tr '\n' ' ')
    peaks=$(echo "$results" | awk '{print $2}' | sort -n | tr '\n' ' ')
    echo "startup $n families: median $(echo "$times" | awk '{print $3}') ms to the mapped window (runs: $times)," \
        "median peak memory $(echo "$peaks" | awk '{printf "%.1f", $3 / 1024}') MB (runs, kB: $peaks)"
done
