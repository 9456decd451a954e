#!/usr/bin/env bash
# Download benchmark of vlupdate: a 1 GiB file served from 127.0.0.1 by Python's http.server,
# fetched by the unattended updater and by `curl -o` in turn, five times each. Reports the
# median wall time of each, their ratio, and the updater's peak memory (/usr/bin/time -v).
# For reference it also times `curl -o` followed by a sync of the file: vlupdate reports
# success only once the file is on the disk, which plain curl never waits for.
#
#   bench/download/run.sh [build folder] [bytes] [runs]
#
# The updater's time is the whole process (start-up, hand-over check, transfer, length
# check, rename, the "文件下载完成" message), so it slightly overstates the download alone.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
size=${2:-1073741824}
runs=${3:-5}
vlupdate=$build/bin/update/vlupdate
[[ -x $vlupdate ]] || { echo "no $vlupdate; build the vlupdate target first" >&2; exit 1; }
for tool in curl python3 /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done

work=$(mktemp -d /tmp/vlbench-download.XXXXXX)
server_pid=
cleanup() {
    [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/serve" "$work/prog/update" "$work/curl"
# Leading zero bytes: whatever "完成" tries to start, this is no program.
{ head -c 16 /dev/zero; head -c $((size - 16)) /dev/urandom; } > "$work/serve/setup.bin"
cp "$vlupdate" "$work/prog/update/vlupdate"

python3 - "$work/serve" > "$work/port" <<'PY' &
import functools, http.server, sys
class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass
handler = functools.partial(Quiet, directory=sys.argv[1])
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
print(server.server_address[1], flush=True)
server.serve_forever()
PY
server_pid=$!
for _ in $(seq 50); do [[ -s $work/port ]] && break; sleep 0.1; done
port=$(cat "$work/port")
url=http://127.0.0.1:$port/setup.bin
printf '[Download]\nURL=%s\nfilename=setup.bin\n' "$url" > "$work/prog/update.ini"

now() { date +%s.%N; }
seconds() { python3 -c "print(f'{$2 - $1:.3f}')"; }
peak_kb() { awk -F': ' '/Maximum resident set size/ {print $2}' "$1"; }

# Wall times on a shared machine mean little without the competition they met.
machine() { printf 'nproc %s, load average %s' "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"; }
echo "before: $(machine)"

updater_times=() curl_times=() synced_times=() updater_kb=() curl_kb=()
for i in $(seq "$runs"); do
    printf '[Update]\nstart=1\n' > "$work/prog/config.ini"
    rm -f "$work/prog/update/setup.bin" "$work/curl/setup.bin"
    sync

    t0=$(now)
    VLUPDATE_AUTO_ANSWER=1 QT_QPA_PLATFORM=offscreen \
        /usr/bin/time -v -o "$work/time.updater" "$work/prog/update/vlupdate" > "$work/out.updater" 2>/dev/null
    t1=$(now)
    grep -q '文件下载完成' "$work/out.updater" || { echo "vlupdate failed:"; cat "$work/out.updater"; exit 1; }
    updater_times+=("$(seconds "$t0" "$t1")")
    updater_kb+=("$(peak_kb "$work/time.updater")")
    if [[ $i == 1 ]]; then
        cmp -s "$work/serve/setup.bin" "$work/prog/update/setup.bin" || { echo "vlupdate's copy differs" >&2; exit 1; }
    fi
    rm -f "$work/prog/update/setup.bin"
    sync

    t0=$(now)
    /usr/bin/time -v -o "$work/time.curl" curl -s -o "$work/curl/setup.bin" "$url"
    t1=$(now)
    curl_times+=("$(seconds "$t0" "$t1")")
    curl_kb+=("$(peak_kb "$work/time.curl")")
    rm -f "$work/curl/setup.bin"
    sync

    # The same, until the file is on the disk as vlupdate's is when it reports success: where
    # the disk is slower than the loopback, both wait for it alike.
    t0=$(now)
    curl -s -o "$work/curl/setup.bin" "$url"
    sync "$work/curl/setup.bin"
    t1=$(now)
    synced_times+=("$(seconds "$t0" "$t1")")
    printf 'run %d: vlupdate %ss %s KB   curl %ss %s KB   curl and sync %ss   (%s)\n' "$i" \
        "${updater_times[-1]}" "${updater_kb[-1]}" "${curl_times[-1]}" "${curl_kb[-1]}" \
        "${synced_times[-1]}" "$(machine)"
done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
mu=$(median "${updater_times[@]}")
mc=$(median "${curl_times[@]}")
ms=$(median "${synced_times[@]}")
peak=$(printf '%s\n' "${updater_kb[@]}" | sort -n | tail -1)
python3 - "$mu" "$mc" "$peak" "$size" "$ms" <<'PY'
import sys
mu, mc, peak, size = float(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
ms = float(sys.argv[5])
ratio = mu / mc
print(f"size {size} bytes")
print(f"median vlupdate {mu:.3f} s ({size / mu / 1e6:.0f} MB/s), curl {mc:.3f} s ({size / mc / 1e6:.0f} MB/s), curl and sync {ms:.3f} s ({size / ms / 1e6:.0f} MB/s)")
print(f"ratio {ratio:.2f} (target <= 1.5): {'PASS' if ratio <= 1.5 else 'FAIL'}; to curl and sync {mu / ms:.2f}")
print(f"vlupdate peak memory {peak / 1024:.1f} MB (target < 60): {'PASS' if peak < 60 * 1024 else 'FAIL'}")
PY
echo "after: $(machine)"
