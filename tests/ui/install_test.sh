#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs:
# the program, a valid menu entry that names it and its icon, and the icon.
set -euo pipefail
build=${1:?build directory}
prefix=${2:?scratch prefix}
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
entry=$prefix/share/applications/hydrant-discharge.desktop
icon=$prefix/share/icons/hicolor/scalable/apps/hydrant-discharge.svg
[ -x "$prefix/bin/hydrant-discharge" ] || fail "program not installed"
[ -f "$entry" ] || fail "desktop entry not installed"
[ -f "$icon" ] || fail "icon not installed"
desktop-file-validate "$entry" || fail "desktop entry does not validate"
grep -qx 'Name=消火栓放水量計算' "$entry" || fail "entry name"
grep -qx 'Name\[ja\]=消火栓放水量計算' "$entry" || fail "Japanese entry name"
grep -qx 'Exec=hydrant-discharge' "$entry" || fail "Exec does not name the installed program"
grep -qx 'Icon=hydrant-discharge' "$entry" || fail "Icon does not name the installed icon"
grep -q '<svg' "$icon" || fail "icon is not an SVG"
echo "ok: installation"
