#!/bin/sh
# Font file search against `find -iname` on the same generated tree: median of 5 runs each,
# warm disk cache, and the peak memory of the search window.
#
# usage: bench/search/run.sh [BUILD_DIR]   (default: build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${1:-$repo/build}
program=$build/bench/bench_search
[ -x "$program" ] || { echo "build the target bench_search in $build first" >&2; exit 1; }

tree=$(/usr/bin/python3 "$here/make_tree.py" "$repo/bench/data/search-tree")
data=$repo/bench/data/search-env
mkdir -p "$data/config" "$data/share" "$data/cache" "$data/runtime"
chmod 700 "$data/runtime"
export XDG_CONFIG_HOME=$data/config XDG_DATA_HOME=$data/share XDG_CACHE_HOME=$data/cache
export XDG_RUNTIME_DIR=$data/runtime QT_QPA_PLATFORM=offscreen

runs=5
# Warm the disk cache for both.
find "$tree" -iname '*.ttf' > /dev/null
"$program" window "$tree" > /dev/null 2>&1

: > "$data/find.times"
: > "$data/window.times"
: > "$data/window.log"
i=0
while [ $i -lt $runs ]; do
    /usr/bin/python3 - "$tree" >> "$data/find.times" <<'PY'
import subprocess, sys, time
start = time.perf_counter()
out = subprocess.run(["find", sys.argv[1], "-iname", "*.ttf"], stdout=subprocess.PIPE, check=True).stdout
print("%.4f %d" % (time.perf_counter() - start, out.count(b"\n")))
PY
    /usr/bin/time -v "$program" window "$tree" > "$data/window.out" 2> "$data/window.err"
    cat "$data/window.out" >> "$data/window.log"
    seconds=$(sed -n 's/^window \([0-9.]*\) s.*/\1/p' "$data/window.out")
    peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$data/window.err")
    echo "$seconds $peak" >> "$data/window.times"
    i=$((i + 1))
done
"$program" engine "$tree"

# Responsiveness inside one folder of 100,000 entries.
wide=$repo/bench/data/search-wide
if [ ! -e "$wide/.complete" ]; then
    mkdir -p "$wide"
    /usr/bin/python3 -c '
import os, sys
for n in range(100000):
    open(os.path.join(sys.argv[1], "entry%06d%s" % (n, ".ttf" if n % 20 == 0 else ".txt")), "wb").close()
open(os.path.join(sys.argv[1], ".complete"), "w").close()
' "$wide"
fi
echo "one folder of 100,000 entries:"
"$program" window "$wide" 2> /dev/null

/usr/bin/python3 - "$data" <<'PY'
import statistics, sys
data = sys.argv[1]
find = [line.split() for line in open(data + "/find.times")]
window = [line.split() for line in open(data + "/window.times")]
find_median = statistics.median(float(f[0]) for f in find)
window_median = statistics.median(float(w[0]) for w in window)
peak = max(int(w[1]) for w in window) / 1024
matches = {f[1] for f in find}
print("find -iname '*.ttf': median %.3f s over %d runs (%s matches)" % (find_median, len(find), ",".join(matches)))
print("search window, Start to completion message: median %.3f s over %d runs" % (window_median, len(window)))
for line in open(data + "/window.log"):
    print("  " + line.rstrip())
print("ratio window / find: %.2f (target at most 1.5)" % (window_median / find_median))
print("peak memory of the search window program: %.1f MB (target under 100 MB)" % peak)
PY
