#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs:
# programs, the desktop entry, the icons in the hicolor theme, the AppStream
# metainfo and the help page, and that the validators accept them.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
need() { [ -e "$prefix/$1" ] || { echo "missing after install: $1"; fail=1; }; }
need bin/quillet
need bin/quillet-tool
need bin/quillet-relaunch
need share/applications/com.orrerylabs.Quillet.desktop
need share/metainfo/com.orrerylabs.Quillet.metainfo.xml
need share/icons/hicolor/scalable/apps/quillet.svg
for size in 16 22 24 32 48 64 128 256; do need "share/icons/hicolor/${size}x${size}/apps/quillet.png"; done
need share/quillet/quillet-help.html
need lib/udev/rules.d/70-quillet-input.rules
[ "$fail" = 0 ] || exit 1

desktop-file-validate "$prefix/share/applications/com.orrerylabs.Quillet.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/com.orrerylabs.Quillet.metainfo.xml" >/dev/null
# The entry starts a program that is installed beside it.
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/com.orrerylabs.Quillet.desktop")
[ -x "$prefix/bin/${exec_line%% *}" ] || { echo "Exec names no installed program: $exec_line"; exit 1; }
echo "install layout ok"
