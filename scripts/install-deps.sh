#!/usr/bin/env bash
# Installs the Debian packages Kadrel needs to build and test. As root it installs what is
# missing; otherwise it prints the exact apt line to run and fails.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libepoxy-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libastcenc-dev libwebp-dev libpng-dev libembree-dev libmeshoptimizer-dev libsquish-dev
  qt6-base-dev libqt6svg6 libxcb-ewmh-dev libicu-dev qt6-tools-dev qt6-l10n-tools fonts-dejavu-core
  # the desktop tests: a throw-away X display with a window manager, a private session bus
  # with mocked desktop services, and tools to read window properties and take screenshots
  xvfb xauth openbox dbus-daemon python3-dbusmock x11-utils x11-apps x11-xserver-utils imagemagick
  xserver-xorg-core xserver-xorg-video-dummy wmctrl xdotool
  # the installed files: the desktop entry, the metainfo and the manual pages are checked
  desktop-file-utils appstream groff-base
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Kadrel needs packages that are not installed. Run:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
