#!/usr/bin/env bash
# Runs a command of this project in a root of another Debian release, to build and test on its
# compilers, Qt and compositors:
#   scripts/debian-root.sh trixie scripts/test.sh release     (Debian 13)
#   scripts/debian-root.sh sid scripts/probe-unstable.sh      (Debian unstable)
# The root is made with debootstrap once and kept in /var/cache/tavelin-capture (TAVELIN_ROOTS
# elsewhere); its packages are brought up to scripts/install-deps.sh whenever that changed. The
# working tree is copied into the root (its build folder kept between runs). Every process
# started in the root is ended and every mount undone when the command ends, also when it fails.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -gt 1 ] || { echo "usage: scripts/debian-root.sh trixie|sid COMMAND [ARGUMENT...]" >&2; exit 2; }
suite=$1
shift

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
. scripts/quietly.sh

root="${TAVELIN_ROOTS:-/var/cache/tavelin-capture}/$suite"
tree=/work/tavelin-capture
mirror=http://deb.debian.org/debian

if [ ! -x "$root/usr/bin/apt-get" ]; then
  command -v debootstrap >/dev/null ||
    quietly "Installing debootstrap" sudo_if_needed env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -qq --no-install-recommends debootstrap
  sudo_if_needed rm -rf "$root.partial"
  sudo_if_needed mkdir -p "$(dirname "$root")"
  quietly "Making a Debian $suite root (debootstrap, a few minutes)" sudo_if_needed debootstrap \
    --variant=minbase --include=ca-certificates,sudo,dbus,python3 "$suite" "$root.partial" "$mirror"
  # The mirror's unstable index is a snapshot whose validity has run out.
  echo 'Acquire::Check-Valid-Until "false";' |
    sudo_if_needed tee "$root.partial/etc/apt/apt.conf.d/90snapshot" >/dev/null
  sudo_if_needed mv "$root.partial" "$root"
fi

mounts=()
cleanup() {
  # Whatever still runs in the root (a compositor a failed test left, the portal's helpers).
  for process in /proc/[0-9]*; do
    [ "$(sudo_if_needed readlink "$process/root" 2>/dev/null)" = "$root" ] &&
      sudo_if_needed kill -KILL "${process#/proc/}" 2>/dev/null || true
  done
  # Mounts made inside the root by the tests (FUSE), then ours, innermost first.
  findmnt -rn -o TARGET | grep -E "^$root/" | sort -r | while read -r target; do
    sudo_if_needed umount -l "$target" 2>/dev/null || true
  done
}
trap cleanup EXIT
for place in proc sys dev dev/pts dev/shm; do
  sudo_if_needed mount --bind "/$place" "$root/$place"
done
sudo_if_needed cp /etc/resolv.conf /etc/hosts "$root/etc/"

# The tree as git sees it (tracked files, and new ones not ignored) replaces the root's copy.
# Only files whose content changed are written, and they get the time of writing: the build
# there then rebuilds exactly what changed, whatever the files' own times say.
incoming="$root/work/incoming"
sudo_if_needed rm -rf "$incoming"
sudo_if_needed mkdir -p "$incoming" "$root$tree"
git ls-files -z --cached --others --exclude-standard |
  tar --null -T - -cf - | sudo_if_needed tar -xf - -C "$incoming"
sudo_if_needed sh -c '
  cd "$1" && find . -type f | while read -r file; do
    cmp -s "$file" "$2/$file" || { mkdir -p "$2/${file%/*}" && cp "$file" "$2/$file"; }
  done
  cd "$2" && find . -path ./build -prune -o -type f -print | while read -r file; do
    [ -e "$1/$file" ] || rm -f "$file"
  done' sh "$incoming" "$root$tree"
sudo_if_needed rm -rf "$incoming"

in_root() {
  sudo_if_needed chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    TERM="${TERM:-dumb}" LANG=C.UTF-8 CI="${CI:-}" sh -c 'cd "$0" && exec "$@"' "$tree" "$@"
}
stamp=$(sha256sum scripts/install-deps.sh | cut -d' ' -f1)
if [ "$(cat "$root/etc/tavelin-packages" 2>/dev/null)" != "$stamp" ]; then
  in_root scripts/install-deps.sh
  echo "$stamp" | sudo_if_needed tee "$root/etc/tavelin-packages" >/dev/null
fi
# Packages leave the login manager's seat folder behind, which GNOME Shell then takes for a
# running login manager, and ends. The root gets a system bus as a machine has one: services
# that tests start (the desktop portal, GNOME Shell) use it, and must not see it come and go.
sudo_if_needed rm -rf "$root/run/systemd/seats" "$root/run/dbus"
in_root sh -c 'mkdir -p /run/dbus && exec dbus-daemon --system --fork'
echo "In the Debian $suite root: $*"
in_root "$@"
