#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing VLFonts need, when missing;
# with --tests also what only the tests need.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-gtk-platformtheme qt6-wayland
    libfontconfig-dev libfreetype-dev libxcb1-dev libarchive-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils
    fonts-noto-cjk fonts-dejavu-core python3-fonttools curl
    qt6-translations-l10n xdg-utils
    dbus dbus-x11 at-spi2-core
    dpkg-dev lintian appstream desktop-file-utils file
)

# Only the tests need these: a Wayland compositor nested in the test's X server, the desktop
# portal with its KDE back end (and the Qt 5 Wayland plugin the back end draws with).
# ./test.sh asks for them with --tests.
test_packages=(
    kwin-wayland xwayland weston xdg-desktop-portal xdg-desktop-portal-kde qtwayland5
)
if [ "${1:-}" = "--tests" ]; then
    packages+=("${test_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
