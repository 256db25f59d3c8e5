#!/usr/bin/env bash
# Sets everything up and runs a capture. On a desktop the capture is yours: drag a region, then
# press Return (Escape cancels). Without a desktop it runs on a virtual display with two
# monitors of different sizes showing a sample desktop, draws a selection with the mouse and
# confirms it. Either way the JSON record is printed; extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

. scripts/quietly.sh
scripts/install-deps.sh
quietly "Building the program" sh -c \
  'cmake --preset release && cmake --build --preset release --target tavelin-capture tavelin-sample-desktop'

program=build/release/src/ui/tavelin-capture

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && "$program" 2>/dev/null | grep -q '"permissionGranted":true'; then
  echo "Drag to select a region, then press Return (Escape cancels)." >&2
  exec "$program" --capture "$@"
fi

work=$(mktemp -d)
cleanup() {
  [ -n "${server:-}" ] && kill "$server" 2>/dev/null
  wait 2>/dev/null || true
}
trap cleanup EXIT

# A 1920x1080 primary monitor and a 1280x1024 one to its right, 56 pixels lower.
Xvfb -displayfd 3 -screen 0 3200x1080x24 -nolisten tcp -noreset +extension RANDR 3>"$work/display" \
  >/dev/null 2>&1 &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
xrandr --setmonitor '*LEFT' 1920/508x1080/286+0+0 screen >/dev/null
xrandr --setmonitor RIGHT 1280/338x1024/270+1920+56 none >/dev/null
build/release/tools/tavelin-sample-desktop
echo "Virtual display $DISPLAY: 1920x1080 + 1280x1024. Drawing a selection and confirming it." >&2

"$program" --capture --out-dir "$work" --request-id demo "$@" >"$work/record.json" &
capture=$!
xdotool search --sync --onlyvisible --class tavelin-capture >/dev/null
xdotool mousemove 1500 300 mousedown 1 mousemove 1900 500 mousemove 2300 700 mouseup 1
xdotool key Return
status=0
wait "$capture" || status=$?

cat "$work/record.json"
echo "exit status $status; the PNG and the record are in $work" >&2
exit "$status"
