#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks what the desktop needs.
set -euo pipefail
build=${1:-build}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/tallis-control"
shopt -s nullglob
for f in "$prefix"/share/applications/*.desktop; do desktop-file-validate "$f"; done
for f in "$prefix"/share/metainfo/*.xml; do appstreamcli validate --no-net --pedantic "$f"; done
# The bridge's service: a valid unit whose sandbox rates OK or better.
unit="$prefix/lib/systemd/system/tallis-pjlink.service"
test -f "$prefix/etc/default/tallis-pjlink"
systemd-analyze verify --man=no "$unit"
rating=$(systemd-analyze security --offline=yes "$unit" | tail -n 1)
echo "$rating"
grep -qE ' (PERFECT|SAFE|OK) ' <<<"$rating"
echo "install ok: $prefix"
