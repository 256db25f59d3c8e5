#!/usr/bin/env bash
# Sets everything up and runs every test: unit, toolkit and end-to-end (on private Xvfb servers).
# Usage: scripts/test.sh [preset]   (release by default; debug and sanitize also exist)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"

scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j2
