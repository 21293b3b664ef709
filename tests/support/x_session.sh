# The harness of the tests that run the real program on a private X server,
# sourced by them after `set -euo pipefail`: a scratch folder in $work, every
# process they start ended on exit, a failure message, polling, and the X
# server and window manager themselves.
#
# A test adds each background process to session_pids; the program under
# test goes in program_pid, which the test clears once it has waited for it.

work=$(mktemp -d)
session_pids=()
program_pid=''

end_session() {
  local pid
  for pid in $program_pid "${session_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap end_session EXIT
trap 'exit 1' INT TERM

# Ends the test with a message; with SHOW_LOGS_ON_FAILURE set, also every
# *.log file in $work.
fail() {
  echo "FAIL${fail_context:+ ($fail_context)}: $*" >&2
  if [ -n "${SHOW_LOGS_ON_FAILURE:-}" ]; then
    local log
    for log in "$work"/*.log; do
      [ -f "$log" ] || continue
      echo "--- $log" >&2
      cat "$log" >&2
    done
  fi
  exit 1
}

# Polls until the command succeeds, for at most $1 seconds.
wait_for() {
  local tries=$(($1 * 20))
  shift
  until "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.05
  done
}

# Starts Xvfb on a display it picks itself and exports DISPLAY. Servers
# started at the same moment by parallel tests can still collide, so a
# server that does not answer is replaced.
start_x_server() {
  local attempt pid
  for attempt in 1 2 3; do
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    pid=$!
    if wait_for 10 test -s "$work/display" &&
       wait_for 5 xdpyinfo -display ":$(head -n1 "$work/display")"; then
      session_pids+=("$pid")
      export DISPLAY=":$(head -n1 "$work/display")"
      return 0
    fi
    kill "$pid" 2>/dev/null || true
  done
  fail "Xvfb did not start: $(cat "$work/xvfb.log")"
}

# Starts openbox on that display; one that has not taken over the screen in
# time (seen once on a loaded machine) is replaced.
start_window_manager() {
  local attempt pid
  for attempt in 1 2 3; do
    openbox --sm-disable >"$work/wm.log" 2>&1 &
    pid=$!
    if wait_for 10 wmctrl -m; then
      session_pids+=("$pid")
      return 0
    fi
    kill "$pid" 2>/dev/null || true
  done
  fail "the window manager did not start: $(cat "$work/wm.log")"
}
