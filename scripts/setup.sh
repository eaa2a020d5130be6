#!/usr/bin/env bash
# Installs from Debian's packages whatever the build, the tests or the demo
# still lack. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-serialport-dev libgl-dev qt6-wayland libqt6svg6
    clang libclang-rt-14-dev
    desktop-file-utils appstream
    xauth xvfb xdotool openbox x11-utils weston
    dpkg-dev lintian
    ser2net
    systemd
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null; then
    sudo=(sudo)
else
    echo "Need root or sudo to install: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
