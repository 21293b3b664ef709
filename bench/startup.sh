#!/usr/bin/env bash
# Start-up benchmark: wall time from the start of the process to the main
# window's first painted frame, and peak memory (VmHWM) up to then, for the
# calculator and for a bare Qt window with the same controls built from the
# same packages (bare_window), in the same run on a private Xvfb display.
# The two programs take turns; one warm-up run of each is not counted.
#
#   bench/startup.sh [BUILD_DIR [RUNS]]     (defaults: build, 11 runs)
#
# Writes a readable table of the medians and the ratios to stdout.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${BUILD_DIR:-$root/build}}
runs=${2:-11}
observer=$build/bench/first_frame
ours=$build/ui/hydrant-discharge
bare=$build/bench/bare_window
for f in "$observer" "$ours" "$bare"; do
  [ -x "$f" ] || { echo "startup: $f is missing; build first (scripts/setup)" >&2; exit 2; }
done

work=$(mktemp -d)
xvfb_pid=''
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "startup: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export LC_ALL=C.UTF-8 XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

measure() {  # name program → appends "ms kb" to $work/name
  local line
  line=$("$observer" "$2") || { echo "startup: no first frame from $2" >&2; exit 1; }
  echo "$line" | sed -E 's/first_frame_ms=([0-9.]+) peak_rss_kb=([0-9]+)/\1 \2/' >>"$work/$1"
}

measure warmup "$ours"; measure warmup "$bare"; rm -f "$work/warmup"
for _ in $(seq "$runs"); do
  measure ours "$ours"
  measure bare "$bare"
done

median() {  # file column
  sort -n -k"$2","$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ours_ms=$(median "$work/ours" 1); bare_ms=$(median "$work/bare" 1)
ours_kb=$(median "$work/ours" 2); bare_kb=$(median "$work/bare" 2)

echo "Start-up to the first painted frame, Xvfb, median of $runs runs each ($(date -u '+%Y-%m-%d %H:%M UTC'))"
printf '  %-22s %10s %14s\n' program "time (ms)" "peak RSS (MB)"
awk -v a="$ours_ms" -v b="$ours_kb" 'BEGIN { printf "  %-22s %10.1f %14.1f\n", "hydrant-discharge", a, b / 1024 }'
awk -v a="$bare_ms" -v b="$bare_kb" 'BEGIN { printf "  %-22s %10.1f %14.1f\n", "bare Qt window", a, b / 1024 }'
awk -v a="$ours_ms" -v b="$bare_ms" -v c="$ours_kb" -v d="$bare_kb" \
  'BEGIN { printf "  ratio ours / bare: time %.3f, memory %.3f (goal: at most 1.15 each)\n", a / b, c / d }'
printf '  runs (ms, kB) ours: %s\n' "$(awk '{ printf "%s/%s ", $1, $2 }' "$work/ours")"
printf '  runs (ms, kB) bare: %s\n' "$(awk '{ printf "%s/%s ", $1, $2 }' "$work/bare")"
