#!/usr/bin/env bash
# Where Kalvor's windows open, by their geometry, under Xvfb with openbox:
#   tools/test-geometry.sh [BUILD]
# At 1366 x 768 and 1920 x 1080, scale factors 1, 1.5 and 2, with the
# on-screen pad: at a first start, with a drawing reopened on the pad, and at
# the start after that. Every Kalvor window must lie on the screen, and none
# may cover the main window's title bar or the strip under its grid (tabs,
# buttons, key help). Prints one line per case and "N cases, F failed".
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
exe=$build/src/editions/Kalvor
[ -x "$exe" ] || { echo "no $exe: build the Kalvor target first" >&2; exit 2; }
for tool in Xvfb xvfb-run openbox xdotool xwininfo xprop; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool missing (tools/deps.sh installs it)"; exit 0; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$exe" samples/plan-1-100.pdf "$scratch/"

# Runs inside one X server; arguments: width height factor.
cat > "$scratch/check.sh" <<'CHECK'
set -uo pipefail
sw=$1 sh=$2 factor=$3
export XDG_RUNTIME_DIR=$SCRATCH/run-$sw-$factor; mkdir -m 700 -p "$XDG_RUNTIME_DIR"
export KALVOR_DATA_DIR=$SCRATCH/data-$sw-$factor KALVOR_PAD=virtual
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$factor
unset WAYLAND_DISPLAY
ini=$KALVOR_DATA_DIR/Kalvor.INI
# Not a first start in the files' sense: no notice of where they go.
mkdir -p "$KALVOR_DATA_DIR" && printf '[frmTab]\r\n' > "$ini"
openbox >/dev/null 2>&1 & wm=$!
sleep 0.5
failed=0

# x y w h of a window's frame (the client's place grown by openbox's frame).
frame() {
  local x y w h l=0 r=0 t=0 b=0 ext
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/{print "x="$4} /Absolute upper-left Y/{print "y="$4}
                                    /Width:/{print "w="$2} /Height:/{print "h="$2}')"
  ext=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
  [ -n "$ext" ] && IFS=, read -r l r t b <<<"$ext"
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b)) $y $((y + h))"
}
overlap() {  # two rectangles x y w h x y w h
  [ "$1" -lt $(($5 + $7)) ] && [ $5 -lt $(($1 + $3)) ] && [ "$2" -lt $(($6 + $8)) ] && [ $6 -lt $(($2 + $4)) ]
}

run() {
  local stage=$1
  "$SCRATCH/Kalvor" >/dev/null 2>&1 & local pid=$!
  local main= pad=
  for _ in $(seq 1 150); do
    main=$(xdotool search --onlyvisible --name "^Kalvor ／" 2>/dev/null | head -n 1)
    pad=$(xdotool search --onlyvisible --name "仮想タブレット" 2>/dev/null | head -n 1)
    [ -n "$main" ] && [ -n "$pad" ] && break
    sleep 0.1
  done
  # After the kill of the run before, the drawing is reopened only once
  # the operator says so: the question's default answer, yes.
  sleep 1
  local box
  box=$(xdotool search --onlyvisible --pid "$pid" --name "^Kalvor$" 2>/dev/null | head -n 1)
  [ -n "$box" ] && xdotool windowactivate --sync "$box" key Return 2>/dev/null
  # Framed, kept on screen, and with the drawing reopened and shown.
  sleep "$WAIT"
  local why=
  if [ -z "$main" ] || [ -z "$pad" ]; then
    why="windows not shown"
  else
    read -r mx my mw mh mtop mbottom <<<"$(frame "$main")"
    # The strip under the grid: the tab control's 2475 twips and its
    # 60-twip margin, at 96 dpi, times the scale factor.
    local strip
    strip=$(awk -v f="$factor" 'BEGIN{printf "%d", (2535 / 15) * f + 0.5}')
    local title=$((mtop - my)) controls_top=$((mbottom - strip))
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
      local name
      name=$(xdotool getwindowname "$w" 2>/dev/null)
      [ "$w" = "$main" ] && continue
      read -r x y ww hh _ _ <<<"$(frame "$w")"
      [ "$ww" -le 1 ] && continue
      if [ "$x" -lt 0 ] || [ "$y" -lt 0 ] || [ $((x + ww)) -gt "$sw" ] || [ $((y + hh)) -gt "$sh" ]; then
        why+="$name off screen at $x,$y ${ww}x$hh; "
      fi
      overlap "$x" "$y" "$ww" "$hh" "$mx" "$my" "$mw" "$title" &&
        why+="$name over the title bar ($x,$y ${ww}x$hh; title $mx,$my ${mw}x$title); "
      overlap "$x" "$y" "$ww" "$hh" "$mx" "$controls_top" "$mw" $((my + mh - controls_top)) &&
        why+="$name over the controls ($x,$y ${ww}x$hh; controls from y=$controls_top); "
    done
    read -r mx my mw mh _ _ <<<"$(frame "$main")"
    if [ "$mx" -lt 0 ] || [ "$my" -lt 0 ] || [ $((mx + mw)) -gt "$sw" ] || [ $((my + mh)) -gt "$sh" ]; then
      why+="main window off screen; "
    fi
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  rm -f "$KALVOR_DATA_DIR/err.dat"
  if [ -z "$why" ]; then
    echo "ok      ${sw}x$sh x$factor $stage"
  else
    echo "FAILED  ${sw}x$sh x$factor $stage: $why"
    failed=1
  fi
}

run "first start"
printf 'PadDrawing=%s\r\nPadDrawingPage=1\r\nPadDrawingZoom=0.3\r\nPadDrawingX=170\r\nPadDrawingY=122\r\n' \
  "$SCRATCH/plan-1-100.pdf" >> "$ini"
run "drawing reopened"
run "restart"
kill "$wm" 2>/dev/null
exit $failed
CHECK

export SCRATCH="$scratch" WAIT=${KALVOR_GEOMETRY_WAIT:-2.5}
cases=0 failures=0
for screen in "1366 768" "1920 1080"; do
  for factor in 1 1.5 2; do
    read -r w h <<<"$screen"
    out=$(xvfb-run -a -s "-screen 0 ${w}x${h}x24 -dpi 96" bash "$scratch/check.sh" "$w" "$h" "$factor" 2>&1) || true
    echo "$out"
    cases=$((cases + $(grep -c '^ok\|^FAILED' <<<"$out")))
    failures=$((failures + $(grep -c '^FAILED' <<<"$out" || true)))
  done
done
echo "$cases cases, $failures failed"
[ "$failures" -eq 0 ]
