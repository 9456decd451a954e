#!/usr/bin/env bash
# Runs one test program in an X server and a D-Bus session of its own, so that no program
# inherits focus, grabs, an autolaunched bus or accessibility state from another.
set -euo pipefail
exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
