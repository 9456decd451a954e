#!/usr/bin/env bash
# Installs what is missing, builds, packages, and runs every test, each test program in an X
# server and a D-Bus session of its own.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh --tests
scripts/build.sh
scripts/package.sh
cd build
ctest --output-on-failure --timeout 600 "$@"
