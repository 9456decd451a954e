#!/usr/bin/env bash
# Start-up time to the mapped main window and peak memory, median of 5, with 2,000 and 10,000
# generated font families, for vlfonts and, in the same run, for the floor: a bare Qt window
# with the same list and interface face (bench/startup-floor). The two are started in turn, so
# both meet the same machine. Usage: bench/startup/run.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target vlfonts bench_startup bench_startup-floor >/dev/null
# Wall times on a shared machine mean little without the competition they met.
machine() { printf 'nproc %s, load average %s' "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"; }
summary() { # label, lines of "<ms> <peak kB>"
    local times peaks
    times=$(echo "$2" | awk '{print $1}' | sort -n | tr '\n' ' ')
    peaks=$(echo "$2" | awk '{print $2}' | sort -n | tr '\n' ' ')
    echo "  $1: median $(echo "$times" | awk '{print $3}') ms to the mapped window (runs: $times)," \
        "median peak memory $(echo "$peaks" | awk '{printf "%.1f", $3 / 1024}') MB (runs, kB: $peaks)"
}
for n in 2000 10000; do
    "$root/bench/fixture/make_env.sh" "$n" >/dev/null
    fixture="$root/bench/data/fixture-$n"
    program=$(mktemp -d)
    cp "$build/bin/vlfonts" "$program/"
    # No automatic update check during a benchmark.
    sed 's/^auto=1/auto=0/' "$root/dist/config.ini" > "$program/config.ini"
    echo "startup $n families ($(machine) before)"
    vlfonts_runs='' floor_runs=''
    for i in 1 2 3 4 5; do
        # shellcheck disable=SC1091
        vlfonts_runs+=$(. "$fixture/env.sh" &&
            xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_startup" "$program/vlfonts" 2>/dev/null)$'\n'
        floor_runs+=$(. "$fixture/env.sh" &&
            xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_startup" \
                "$build/bench/bench_startup-floor" 2>/dev/null)$'\n'
    done
    rm -rf "$program"
    summary vlfonts "$(echo -n "$vlfonts_runs" | sed '/^$/d')"
    summary "bare Qt floor" "$(echo -n "$floor_runs" | sed '/^$/d')"
    echo "  ($(machine) after)"
done
