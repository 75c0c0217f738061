#!/usr/bin/env bash
# Builds, once, what the Windows edition is built against, from Debian 12's
# own source packages and MinGW-w64 (about 35 minutes on 2 cores, as root for
# the apt steps):
#   DIR/qt6-mingw64    Qt 6.4.2 for x86_64-w64-mingw32: Core, Gui, Widgets,
#                      Test, the windows and offscreen platforms
#                      (tools/windows-deps/build-qt.sh)
#   DIR/mingw-extras   poppler's Qt 6 frontend, FreeType, libjpeg-turbo,
#                      libtiff, zlib, the JPEG and TIFF image plugins
#                      (tools/windows-deps/build-extras.sh)
#
#   tools/build-windows-deps.sh [DIR]    DIR defaults to ~/.cache/kalvor-windows-deps
#
# tools/test-windows.sh (part of ./test.sh) finds them there by itself; or
# name them: KALVOR_QT_MINGW=DIR/qt6-mingw64 KALVOR_MINGW_EXTRAS=DIR/mingw-extras.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)/windows-deps
dir=$(realpath -m "${1:-${XDG_CACHE_HOME:-$HOME/.cache}/kalvor-windows-deps}")
mkdir -p "$dir"
started=$(date +%s)
WORK="$dir/work-qt" PREFIX="$dir/qt6-mingw64" "$here/build-qt.sh"
WORK="$dir/work-extras" PREFIX="$dir/mingw-extras" QT_DIR="$dir/qt6-mingw64" \
  "$here/build-extras.sh"
echo "built in $(( $(date +%s) - started )) s:"
echo "  KALVOR_QT_MINGW=$dir/qt6-mingw64"
echo "  KALVOR_MINGW_EXTRAS=$dir/mingw-extras"
