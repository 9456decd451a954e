#!/usr/bin/env bash
# Runs one test program in an X server and a D-Bus session of its own, so that no program
# inherits focus, grabs, an autolaunched bus or accessibility state from another.
# The session bus starts only the accessibility bus on demand: a desktop portal or any other
# service installed on the machine is never started behind a test's back, so a test that wants
# a portal brings its own.
set -euo pipefail
bus=$(mktemp -d "${TMPDIR:-/tmp}/vlfonts-bus.XXXXXX")
trap 'rm -rf "$bus"' EXIT
mkdir "$bus/services"
for service in /usr/share/dbus-1/services/org.a11y.Bus.service; do
    [ -f "$service" ] && cp "$service" "$bus/services/"
done
cat >"$bus/session.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:tmpdir=${TMPDIR:-/tmp}</listen>
  <auth>EXTERNAL</auth>
  <servicedir>$bus/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-run-session --config-file="$bus/session.conf" -- xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
