#!/usr/bin/env bash
# Sets everything up and runs every test: unit, toolkit and end-to-end (on private Xvfb servers
# and private headless Wayland compositors).
# Usage: scripts/test.sh [preset]   (release by default; debug and sanitize also exist)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"

scripts/install-deps.sh
# The Wayland tests run their compositor as an unprivileged user: sway refuses to run as root.
if [ "$(id -u)" -eq 0 ] && ! id "${TAVELIN_TEST_USER:-tavelin-test}" >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin "${TAVELIN_TEST_USER:-tavelin-test}"
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j2
