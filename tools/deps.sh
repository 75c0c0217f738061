#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when
# any is missing. Sourced by run.sh, test.sh and bench.sh.
set -euo pipefail

KALVOR_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6multimedia6 libgl-dev
  libgtest-dev libgmock-dev
  libevdev-dev libudev-dev
  # Drawings on the on-screen pad: PDF through poppler, TIFF through Qt's
  # image plugins.
  libpoppler-qt6-dev qt6-image-formats-plugins
  fonts-ipafont-gothic qt6-translations-l10n
  # The figures' exports: DXF through dxflib; the tests read them back with
  # readers we did not write (Qt SVG, ezdxf).
  libdxflib-dev qt6-svg-dev python3-ezdxf
  xvfb xauth xdotool imagemagick strace
  # Where the windows open, checked by geometry (tools/test-geometry.sh):
  # under openbox, and on weston with Xwayland and with Wayland alone. The X
  # connection's headers: which window manager runs.
  openbox x11-utils weston xwayland qt6-wayland libxcb1-dev
  # The Debian package and its test: dependency scan, menu entry check.
  dpkg-dev file desktop-file-utils
)

kalvor_missing_packages() {
  local missing=()
  for p in "${KALVOR_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]:-}"
}

kalvor_install_deps() {
  local missing
  missing=$(kalvor_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "These Debian packages are missing; install them as root and run again:" >&2
    echo "  apt-get update && apt-get install -y $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  apt-get update
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
}
