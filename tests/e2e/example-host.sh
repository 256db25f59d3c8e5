#!/usr/bin/env bash
# Runs examples/host.py against PROGRAM on a private X server, confirming each of its two
# captures with Return, and checks what it reports: two captures of the pre-placed selection.
# Usage: tests/e2e/example-host.sh PROGRAM
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
cleanup() {
  [ -n "${host:-}" ] && kill "$host" 2>/dev/null
  [ -n "${server:-}" ] && kill "$server" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"

python3 "$here/../../examples/host.py" --program "$program" --out-dir "$work" >"$work/report" &
host=$!
for capture in 1 2; do
  timeout 20 xdotool search --sync --onlyvisible --class tavelin-capture >/dev/null
  xdotool key Return
  # The next capture's window must not be taken for this one's.
  while xdotool search --onlyvisible --class tavelin-capture >/dev/null 2>&1; do sleep 0.05; done
done
status=0
wait "$host" || status=$?
host=
cat "$work/report"
[ "$status" -eq 0 ] || { echo "the example host ended with $status" >&2; exit 1; }
grep -qx "host-1: $work/tavelin-capture-host-1.png (400x300 pixels)" "$work/report"
grep -qx "host-2: $work/tavelin-capture-host-2.png (400x300 pixels)" "$work/report"
