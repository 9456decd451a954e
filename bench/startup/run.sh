#!/usr/bin/env bash
# Start-up time to the mapped main window and peak memory, median of 5, with 2,000 and 10,000
# generated font families and the shipped config.ini. With 2,000 families, starts with the
# shipped config.ini and with a valid one of 1 MB alternate, 9 of each: the 1 MB one's median
# must stay within 1.2 times the shipped one's. In the same run, in turn with vlfonts, the floor:
# a bare Qt window with the same list and interface face (bench/startup-floor).
# The fonts lie in folders of 100, as a large library is kept; VLBENCH_FOLDER_SIZE=0 puts them all
# in one folder, whose one cache fontconfig holds whole while it reads it.
# Usage: bench/startup/run.sh [build-dir] [family counts, default "2000 10000"]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
counts=${2:-2000 10000}
folder_size=${VLBENCH_FOLDER_SIZE-100}
cmake --build "$build" --target vlfonts bench_startup bench_startup-floor >/dev/null
# Wall times on a shared machine mean little without the competition they met.
machine() { printf 'nproc %s, load average %s' "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"; }

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

# A program folder with vlfonts and the given config.ini.
program_with() {
    local program
    program=$(mktemp -d)
    cp "$build/bin/vlfonts" "$program/"
    cp "$1" "$program/config.ini"
    echo "$program"
}

# "<median> <runs, sorted>" of a list of numbers.
median() {
    local sorted
    sorted=$(tr ' ' '\n' <<<"$1" | grep . | sort -n | tr '\n' ' ')
    echo "$(awk '{print $(int((NF + 1) / 2))}' <<<"$sorted") $sorted"
}

for n in $counts; do
    VLBENCH_FOLDER_SIZE=$folder_size "$root/bench/fixture/make_env.sh" "$n" >/dev/null
    fixture="$root/bench/data/fixture-$n"
    if [ "$folder_size" -gt 0 ]; then
        fixture="$fixture-by$folder_size"
    fi
    folders=("$(program_with "$shipped")")
    runs=5
    if [ "$n" = 2000 ]; then
        folders+=("$(program_with "$big")")
        # The two alternate, and more often, so that a busy machine weighs on both alike.
        runs=9
    fi
    echo "startup $n families, $([ "$folder_size" -gt 0 ] && echo "$folder_size a folder" || echo "one folder") ($(machine) before)"
    results=$(
        # shellcheck disable=SC1091
        . "$fixture/env.sh"
        for ((i = 0; i < runs; i++)); do
            for f in "${!folders[@]}"; do
                echo "$f $(xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_startup" \
                    "${folders[$f]}/vlfonts" 2>/dev/null)"
            done
            echo "floor $(xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_startup" \
                "$build/bench/bench_startup-floor" 2>/dev/null)"
        done
    )
    rm -rf "${folders[@]}"
    read -r ms times <<<"$(median "$(awk '$1 == 0 {print $2}' <<<"$results" | tr '\n' ' ')")"
    read -r kb _ <<<"$(median "$(awk '$1 == 0 {print $3}' <<<"$results" | tr '\n' ' ')")"
    echo "startup $n families: median $ms ms to the mapped window (runs: $times)," \
        "median peak memory $(awk -v k="$kb" 'BEGIN{printf "%.1f", k / 1024}') MB"
    read -r floorMs floorTimes <<<"$(median "$(awk '$1 == "floor" {print $2}' <<<"$results" | tr '\n' ' ')")"
    read -r floorKb _ <<<"$(median "$(awk '$1 == "floor" {print $3}' <<<"$results" | tr '\n' ' ')")"
    echo "bare Qt floor $n families: median $floorMs ms (runs: $floorTimes)," \
        "median peak memory $(awk -v k="$floorKb" 'BEGIN{printf "%.1f", k / 1024}') MB"
    if [ "$n" = 2000 ]; then
        read -r bigMs bigTimes <<<"$(median "$(awk '$1 == 1 {print $2}' <<<"$results" | tr '\n' ' ')")"
        read -r bigKb _ <<<"$(median "$(awk '$1 == 1 {print $3}' <<<"$results" | tr '\n' ' ')")"
        echo "startup $n families, 1 MB config.ini: median $bigMs ms (runs: $bigTimes)," \
            "median peak memory $(awk -v k="$bigKb" 'BEGIN{printf "%.1f", k / 1024}') MB," \
            "$(awk -v a="$bigMs" -v b="$ms" 'BEGIN{printf "%.2f", a / b}') times the shipped" \
            "config.ini's (target: at most 1.2)"
    fi
    echo "($(machine) after)"
done
rm -f "$shipped" "$big"
