#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it as a machine would use
# it: its control data and dependencies, lintian, an installation into a
# scratch root with its own dpkg database, the installed files, the installed
# program started on a private X server and closed (exit code 0), and a clean
# removal.
#
#   package_test.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory}
export LC_ALL=C.UTF-8

# shellcheck source=../support/x_session.sh
. "$(dirname "$0")/../support/x_session.sh"

# --- The package -----------------------------------------------------------
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
  || fail "cpack: $(cat "$work/cpack.log")"
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, got: ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb")"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = hydrant-discharge ] || fail "package name $(field Package)"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
[ "$(field Section)" = utils ] || fail "section $(field Section)"
depends=$(field Depends)
echo "depends: $depends"
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libqt6svg6 'fonts-ipafont-gothic | fonts-noto-cjk'; do
  case ", $depends," in *", $needed"[\ ,]*) ;; *) fail "Depends lacks $needed" ;; esac
done
# Every dependency names a real package: one of each group of alternatives is
# installed here, where the program was built and runs.
IFS=',' read -r -a groups <<<"$depends"
for group in "${groups[@]}"; do
  satisfied=no
  IFS='|' read -r -a alternatives <<<"$group"
  for alternative in "${alternatives[@]}"; do
    name=$(awk '{ print $1 }' <<<"$alternative")
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed' && satisfied=yes
  done
  [ $satisfied = yes ] || fail "no package of '$group' is installed"
done

# lintian: no errors; its other findings are shown.
lintian --fail-on error --display-info "$deb" >"$work/lintian.log" 2>&1 || lintian_rc=$?
grep -v 'running with root privileges' "$work/lintian.log" || true
[ "${lintian_rc:-0}" -eq 0 ] || fail "lintian reports errors"

# --- Installation into a scratch root ---------------------------------------
root=$work/root
admin=$root/var/lib/dpkg
mkdir -p "$admin/info" "$admin/updates"
touch "$admin/status" "$admin/available"
# The dependencies are in the machine's database, not the scratch one.
dpkg_scratch() { dpkg --root="$root" --admindir="$admin" --force-not-root --force-depends --log=/dev/null "$@"; }
dpkg_scratch --install "$deb" >"$work/dpkg.log" 2>&1 || fail "dpkg --install: $(cat "$work/dpkg.log")"
dpkg_scratch --status hydrant-discharge | grep -qx 'Status: install ok installed' || fail "not installed"

program=$root/usr/bin/hydrant-discharge
entry=$root/usr/share/applications/hydrant-discharge.desktop
icon=$root/usr/share/icons/hicolor/scalable/apps/hydrant-discharge.svg
metainfo=$(echo "$root"/usr/share/metainfo/*.metainfo.xml)
[ -x "$program" ] || fail "program not installed"
file "$program" | grep -q 'ELF.*stripped' || fail "program is not a stripped ELF file"
desktop-file-validate "$entry" || fail "desktop entry does not validate"
grep -qx 'Exec=hydrant-discharge' "$entry" || fail "desktop entry does not start the installed program"
grep -q '<svg' "$icon" || fail "icon is not installed"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 || fail "AppStream: $(cat "$work/appstream.log")"
grep -q '<launchable type="desktop-id">hydrant-discharge.desktop</launchable>' "$metainfo" \
  || fail "the metainfo does not launch the desktop entry"
man --warnings -l "$root/usr/share/man/man1/hydrant-discharge.1.gz" >/dev/null 2>"$work/man.log" \
  && [ ! -s "$work/man.log" ] || fail "manual page: $(cat "$work/man.log")"
[ -f "$root/usr/share/doc/hydrant-discharge/copyright" ] || fail "no copyright file"
echo "ok: installed files"

# --- The installed program starts and ends with exit code 0 -----------------
start_x_server
start_window_manager

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$program" >"$work/program.log" 2>&1 &
program_pid=$!
window() { wmctrl -l -p | awk -v pid="$program_pid" '$3 == pid { print $1 }'; }
has_window() { [ -n "$(window)" ]; }
wait_for 10 has_window || fail "the installed program shows no window: $(cat "$work/program.log")"
id=$(window)
# The icon is SVG, drawn by the plugin from libqt6svg6.
has_icon() { xprop -id "$id" _NET_WM_ICON | grep -q 'Icon ('; }
wait_for 10 has_icon || fail "the window has no icon"
wmctrl -i -c "$id"
wait_for 10 bash -c "! kill -0 $program_pid" || fail "the program is still running after a close request"
rc=0
wait "$program_pid" || rc=$?
program_pid=''
[ "$rc" -eq 0 ] || fail "exit code $rc: $(cat "$work/program.log")"
echo "ok: the installed program started and ended with exit code 0"

# --- Removal leaves nothing behind ------------------------------------------
dpkg_scratch --purge hydrant-discharge >"$work/dpkg.log" 2>&1 || fail "dpkg --purge: $(cat "$work/dpkg.log")"
left=$(find "$root" -path "$admin" -prune -o -type f -print)
[ -z "$left" ] || fail "left after removal: $left"
echo "ok: removed"
