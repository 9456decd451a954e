#!/usr/bin/env bash
# The duplicates window and disabling one family, with 10,000 generated families of which 100
# are installed twice (a copy of each in the user's fonts folder, under another file name).
# Usage: bench/cleanup/run.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target bench_cleanup >/dev/null
machine() { printf 'nproc %s, load average %s' "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"; }
n=10000
"$root/bench/fixture/make_env.sh" "$n" >/dev/null
fixture=$root/bench/data/fixture-$n
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/share/fonts" "$work/config" "$work/cache"
for i in $(seq 1 100); do
    number=$(printf '%05d' $((i * 97)))
    cp "$fixture/fonts/VLBench-$number.ttf" "$work/share/fonts/copy-of-$number.ttf"
done
# The fixture's configuration, the user's fonts folder, and the user's rule folder as the
# system configuration reads it.
cat > "$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <cachedir>$work/cache/fontconfig</cachedir>
  <include>$fixture/fonts.conf</include>
  <dir>$work/share/fonts</dir>
  <include ignore_missing="yes" prefix="xdg">fontconfig/conf.d</include>
</fontconfig>
CONF
export FONTCONFIG_FILE=$work/fonts.conf XDG_CACHE_HOME=$work/cache XDG_CONFIG_HOME=$work/config \
    XDG_DATA_HOME=$work/share HOME=$work
fc-cache "$work/share/fonts"
echo "($(machine))"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_cleanup"
echo "($(machine))"
