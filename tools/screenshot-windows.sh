#!/usr/bin/env bash
# Starts the Windows build's Kalvor.exe under Wine on Xvfb (with openbox for
# the window frames) and writes PNGs of the no-tablet notice and of the
# window on each of its three pages:
#   tools/screenshot-windows.sh [OUTDIR]      (default docs/, windows-*.png)
# Needs build-win (cmake --preset windows && cmake --build build-win).
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs}")"
[ -x build-win/wine-run ] && [ -f build-win/src/editions/Kalvor.exe ] || {
  echo "build the Windows edition first: cmake --preset windows && cmake --build build-win" >&2
  exit 1
}
. tools/deps.sh
KALVOR_PACKAGES=(wine wine64 fonts-ipafont-gothic xvfb xauth xdotool imagemagick openbox)
kalvor_install_deps
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'WINEPREFIX="$scratch/prefix" wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
mkdir "$scratch/run"
cp build-win/src/editions/Kalvor.exe "$scratch/run/"

export KALVOR_SCRATCH="$scratch" KALVOR_OUT="$out" KALVOR_WINE_RUN="$PWD/build-win/wine-run"
xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" bash -c '
  set -euo pipefail
  openbox >/dev/null 2>&1 &
  export WINEPREFIX="$KALVOR_SCRATCH/prefix" WINEQT_QPA_PLATFORM=windows
  cd "$KALVOR_SCRATCH/run"
  # A Japanese system: code page 932 for the files.
  LC_ALL=ja_JP.UTF-8 "$KALVOR_WINE_RUN" "$KALVOR_SCRATCH/run/Kalvor.exe" >"$KALVOR_SCRATCH/log" 2>&1 &
  # Writes the screen area of window $1, its frame included, to $2.
  shoot() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    local left=$((X > 4 ? X - 4 : 0)) top=$((Y > 42 ? Y - 42 : 0))
    import -window root -crop "$((WIDTH + X - left + 4))x$((HEIGHT + Y - top + 4))+$left+$top" \
      +repage "$2"
  }
  window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
  for _ in $(seq 1 240); do [ -n "$(window_named "^Kalvor$")" ] && break; sleep 0.5; done
  # A fresh prefix paints its first window late.
  sleep 5
  # Wine has no tablet: the notice comes first.
  shoot "$(window_named "^Kalvor$")" "$KALVOR_OUT/windows-notice.png"
  xdotool key Return
  # The title after "Kalvor": xdotool matches no Japanese in it.
  for _ in $(seq 1 60); do [ -n "$(window_named "^Kalvor .* ver")" ] && break; sleep 0.5; done
  sleep 3
  main=$(window_named "^Kalvor .* ver")
  shoot "$main" "$KALVOR_OUT/windows-Kalvor-1.png"
  # The tabs of the other two pages, in pixels from the client area at the
  # design size, with the fonts Wine finds here.
  eval "$(xdotool getwindowgeometry --shell "$main")"
  page=2
  for tab in 128 247; do
    xdotool mousemove "$((X + tab))" "$((Y + 495))" sleep 0.3 click 1
    sleep 1
    shoot "$main" "$KALVOR_OUT/windows-Kalvor-$page.png"
    page=$((page + 1))
  done
'
echo "wrote $out/windows-notice.png and $out/windows-Kalvor-{1,2,3}.png"
