#!/usr/bin/env bash
# Installs the Debian packages the build needs, only when some are missing.
# Usage: tools/install-deps.sh [test|package]   ("test" adds the test-only
# packages, "package" what building the Debian package needs)
set -euo pipefail

# Text is drawn and measured with the system's fonts: at least one must exist.
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libxkbcommon-dev libxcb1-dev libx11-dev
          fonts-dejavu-core)
if [[ "${1:-}" == "test" ]]; then
  # The end-to-end tests drive the program on their own X server: a tray
  # host, a window manager (openbox, asked with wmctrl), xdotool for the
  # mouse and keys, xwd, ImageMagick and x11-utils to look; the ZIP reader's
  # tests read archives that zip writes.
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev xvfb xauth python3 xdotool
             trayer openbox wmctrl imagemagick x11-utils x11-apps zip)
  # The install test validates the installed desktop files and manual pages.
  packages+=(desktop-file-utils appstream man-db groff-base)
fi
if [[ "${1:-}" == "package" ]]; then
  # CPack computes the package's dependencies with dpkg-shlibdeps.
  packages+=(dpkg-dev file)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
