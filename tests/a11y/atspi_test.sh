#!/usr/bin/env bash
# Runs the real program on a private X server with a private D-Bus session bus
# and the AT-SPI accessibility bus and registry, and drives it from outside
# with an AT-SPI client (atspi_client.py), the way a screen reader sees it.
#
#   atspi_test.sh PROGRAM
#
# Needs Debian's xvfb, dbus, at-spi2-core and python3-pyatspi. Everything it
# starts is ended on exit.
set -euo pipefail
program=${1:?program}
here=$(cd "$(dirname "$0")" && pwd)

SHOW_LOGS_ON_FAILURE=1
# shellcheck source=../support/x_session.sh
. "$here/../support/x_session.sh"

export LC_ALL=C.UTF-8
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

start_x_server

# A session bus of our own, so that no desktop's screen reader or registry
# takes part, and the accessibility bus with its registry on top of it.
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" 2>"$work/bus.log" &
session_pids+=($!)
wait_for 10 test -s "$work/bus" || fail "the session bus did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
# The bus starts the accessibility bus launcher on the first request, as on a
# desktop; its process is ended with the others.
wait_for 10 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
  || fail "the accessibility bus did not start"
session_pids+=("$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
  org.freedesktop.DBus.GetConnectionUnixProcessID string:org.a11y.Bus | awk '/uint32/ { print $2 }')")

# Qt's bridge to AT-SPI, on without a desktop that asks for it.
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 "$program" >"$work/program.log" 2>&1 &
program_pid=$!

# The system's Python: the one with the GObject bindings that pyatspi needs.
/usr/bin/python3 "$here/atspi_client.py" || fail "the AT-SPI client failed"

# The client has pressed 終了: the program ends, with exit code 0.
wait_for 10 bash -c "! kill -0 $program_pid" || fail "the program is still running after 終了"
rc=0
wait "$program_pid" || rc=$?
program_pid=''
[ "$rc" -eq 0 ] || fail "exit code $rc after 終了"
echo "ok: the program ended with exit code 0"
