#!/usr/bin/env bash
# Builds the Debian package into build/ and checks it: lintian must report no error, and the
# AppStream metainfo and the desktop entry must validate.
set -euo pipefail
cd "$(dirname "$0")/.."
rm -f build/vlfonts_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/vlfonts_*.deb)
echo "Package: $deb"
status=0
report=$(lintian --fail-on error "$deb" 2>&1) || status=$?
# lintian's own remark about running as root is not about the package.
printf '%s\n' "$report" | sed 's/running with root privileges is not recommended!//' | grep . || true
[ "$status" -eq 0 ] || { echo "lintian found errors in $deb"; exit 1; }
appstreamcli validate --no-net dist/net.vorlan.vlfonts.metainfo.xml
desktop-file-validate dist/vlfonts.desktop
