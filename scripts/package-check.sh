#!/usr/bin/env bash
# Builds the Debian package from the release build, installs it with apt-get, and runs the
# installed program: its manual page, its check mode and the example host's captures on Xvfb.
# The package is removed again at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

. scripts/quietly.sh
quietly "Building the Debian package" sh -c 'cd build/release && cpack -G DEB'
package=$(ls build/release/tavelin-capture_*.deb)
quietly "Installing it" sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$package"
trap 'sudo_if_needed apt-get remove -y -qq tavelin-capture >/dev/null 2>&1' EXIT

dpkg-deb -c "$package" | grep -q 'share/man/man1/tavelin-capture.1.gz$'
# Minimal images may be set up to leave manual pages out of every installed package.
if [ -f /usr/share/man/man1/tavelin-capture.1.gz ]; then man -w tavelin-capture >/dev/null; fi
grep -qx 'Exec=/usr/bin/tavelin-capture' /usr/share/applications/org.tavelin.TavelinCapture.desktop
grep -qx 'Licence: MIT' /usr/share/doc/tavelin-capture/copyright
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
server=$!
# Xvfb's first start in a freshly filled root can take seconds.
for _ in $(seq 400); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start within 20 s" >&2; exit 1; }
check=$(DISPLAY=":$(cat "$work/display")" /usr/bin/tavelin-capture)
kill "$server"
rm -rf "$work"
[ "$check" = '{"status":"success","permissionGranted":true}' ] || { echo "check: $check" >&2; exit 1; }
tests/e2e/example-host.sh /usr/bin/tavelin-capture >/dev/null
echo "package $package: installed, manual page, check mode and two captures OK"
