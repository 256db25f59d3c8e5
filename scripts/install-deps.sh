#!/usr/bin/env bash
# Installs the Debian packages needed to build, test and benchmark TavelinCapture, on Debian 12
# (bookworm) or Debian 13 (trixie); also on Debian unstable, for probing what comes next.
set -euo pipefail

release=$(. /etc/os-release && echo "${VERSION_CODENAME:-unknown}")
packages=(
  cmake ninja-build g++ pkg-config file
  qt6-base-dev qt6-base-private-dev libgl-dev libxkbcommon-dev libfontconfig-dev
  libxcb1-dev libxcb-randr0-dev libxcb-shm0-dev libxcb-xtest0-dev
  nlohmann-json3-dev libdeflate-dev libisal-dev libpng-dev libspng-dev
  libgtest-dev libgmock-dev
  xvfb xauth x11-xserver-utils xdotool fonts-dejavu-core
  libwayland-dev libwayland-bin wayland-protocols qt6-wayland libpipewire-0.3-dev libdbus-1-dev
  dbus-daemon dbus-bin pipewire xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk
  sway swaybg grim
  dpkg-dev man-db python3
  clang
)
case "$release" in
  bookworm) packages+=(libclang-rt-14-dev) ;;
  # Qt 6 builds of layer-shell-qt exist from here on; so do the KWin and GNOME Shell the tests
  # run on.
  trixie | forky | sid)
    packages+=(libclang-rt-dev liblayershellqtinterface-dev
      kwin-wayland kwin-common libkf6service-bin libkscreen-bin plasma-wayland-protocols
      libgl1-mesa-dri libegl-mesa0 libdrm-dev
      gnome-shell mutter xdg-desktop-portal-gnome wireplumber gsettings-desktop-schemas)
    ;;
  *)
    echo "scripts/install-deps.sh knows Debian 12 (bookworm), 13 (trixie) and unstable;" \
      "this is '$release'." >&2
    echo "Install the equivalents of these packages by hand: ${packages[*]}" >&2
    exit 1
    ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  . "$(dirname "$0")/quietly.sh"
  quietly "Installing the missing Debian packages (${#missing[@]})" sh -c '
    sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
    sudo_if_needed apt-get update -qq &&
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -qq --no-install-recommends "$@"' sh "${missing[@]}"
fi
