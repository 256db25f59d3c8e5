#!/usr/bin/env bash
# What the next releases bring: run in a Debian unstable root,
#   scripts/debian-root.sh sid scripts/probe-unstable.sh
# it builds everything with that release's compilers and Qt, both with layer-shell-qt and with
# the program's own layer roles, and runs the Wayland check mode and overlay tests on its
# headless sway. Not part of CI: unstable changes under us.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/quietly.sh
if [ "$(id -u)" -eq 0 ] && ! id "${TAVELIN_TEST_USER:-tavelin-test}" >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin "${TAVELIN_TEST_USER:-tavelin-test}"
fi
echo "Qt $(dpkg-query -W -f='${Version}' qt6-base-dev), $(sway --version), $(g++ --version | head -n 1)"
failed=0
for layer_shell_qt in ON OFF; do
  build=build/probe-layer-shell-qt-$layer_shell_qt
  if quietly "Building with TAVELIN_USE_LAYER_SHELL_QT=$layer_shell_qt" sh -c \
    'cmake --preset release -B "$0" -DTAVELIN_USE_LAYER_SHELL_QT="$1" -DTAVELIN_BUILD_BENCHMARKS=OFF &&
     cmake --build "$0"' "$build" "$layer_shell_qt"; then
    (cd "$build" && ctest -R 'WaylandModes|WaylandCapture' --output-on-failure) |
      grep -E 'Test +#|tests passed|tests failed' || failed=1
  else
    failed=1
  fi
done
exit $failed
