#!/usr/bin/env bash
# Sets everything up and runs every test: unit, toolkit and end-to-end (on private Xvfb servers
# and private headless Wayland compositors).
# Usage: scripts/test.sh [preset] [--debian13]
#   preset: release (the default), debug or sanitize
#   --debian13: then the same suite, release build, in a Debian 13 root (scripts/debian-root.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=release
debian13=false
for argument in "$@"; do
  case "$argument" in
    --debian13) debian13=true ;;
    *) preset=$argument ;;
  esac
done

. scripts/quietly.sh
scripts/install-deps.sh
# The Wayland tests run their compositor as an unprivileged user: sway refuses to run as root.
if [ "$(id -u)" -eq 0 ] && ! id "${TAVELIN_TEST_USER:-tavelin-test}" >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin "${TAVELIN_TEST_USER:-tavelin-test}"
fi
quietly "Configuring and building ($preset)" \
  sh -c 'cmake --preset "$0" && cmake --build --preset "$0"' "$preset"
echo "Running the tests..."
log="$setup_logs/tests-$preset.log"
if ctest --preset "$preset" -j2 --output-on-failure >"$log" 2>&1; then
  grep -E "tests passed|did not run|^\s+[0-9]+ - .*\(Skipped\)" "$log"
else
  tail -n 30 "$log" >&2
  # Each failing test's own output, last, where a reader of the end of the log sees it.
  awk '/\*\*\*(Failed|Timeout|Exception)/ { shown = 0; failing = 1 }
       /^ +Start +[0-9]+:|^ *[0-9]+\/[0-9]+ Test +#|^[0-9]+% tests passed/ && !/\*\*\*/ { failing = 0 }
       failing && shown++ < 60' "$log" >&2
  echo "The whole log: $log" >&2
  exit 1
fi
if $debian13; then
  scripts/debian-root.sh trixie scripts/test.sh release
fi
