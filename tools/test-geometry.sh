#!/usr/bin/env bash
# Where Kalvor's windows open, by their geometry:
#   tools/test-geometry.sh [BUILD] [--weston]
# Under Xvfb with openbox at 1366 x 768 and 1920 x 1080, scale factors 1,
# 1.5 and 2; with --weston, on a headless weston with Xwayland instead, as a
# Wayland session offers both (WAYLAND_DISPLAY and DISPLAY set, Kalvor left
# to choose its platform), at both sizes and factors 1 and 2. With the
# on-screen pad: at a first start, with a drawing reopened on the pad, and at
# the start after that; with --weston, once more on Wayland alone. Every
# Kalvor window must lie on the screen, and none may cover the main window's
# title bar or the strip under its grid (tabs, buttons, key help). Prints one
# line per case and "N cases, F failed".
set -euo pipefail
cd "$(dirname "$0")/.."
build=build weston=0
for arg in "$@"; do
  case $arg in
    --weston) weston=1 ;;
    *) build=$arg ;;
  esac
done
exe=$build/src/editions/Kalvor
[ -x "$exe" ] || { echo "no $exe: build the Kalvor target first" >&2; exit 2; }
if [ "$weston" = 1 ]; then tools="weston Xwayland xdotool xwininfo xprop"; else tools="Xvfb xvfb-run openbox xdotool xwininfo xprop"; fi
for tool in $tools; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool missing (tools/deps.sh installs it)"; exit 0; }
done

scratch=$(mktemp -d)
# Ends the weston of the screen before (its process is no child of this
# shell's: it is started in a subshell), and waits until it has gone.
stop_weston() {
  local pid
  pid=$(cat "$scratch/weston.pid" 2>/dev/null) || return 0
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
  rm -f "$scratch/weston.pid"
}
trap 'stop_weston; rm -rf "$scratch"' EXIT
cp "$exe" samples/plan-1-100.pdf "$scratch/"

# Runs inside one X server; arguments: width height factor.
cat > "$scratch/check.sh" <<'CHECK'
set -uo pipefail
sw=$1 sh=$2 factor=$3
export XDG_RUNTIME_DIR=$SCRATCH/run-$sw-$factor; mkdir -m 700 -p "$XDG_RUNTIME_DIR"
export KALVOR_DATA_DIR=$SCRATCH/data-$sw-$factor KALVOR_PAD=virtual
export QT_SCALE_FACTOR=$factor
if [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=xcb
else
  # As on a Wayland desktop: the platform is Kalvor's own choice.
  unset QT_QPA_PLATFORM
fi
ini=$KALVOR_DATA_DIR/Kalvor.INI
# Not a first start in the files' sense: no notice of where they go.
mkdir -p "$KALVOR_DATA_DIR" && printf '[frmTab]\r\n' > "$ini"
wm=
if [ -z "${WAYLAND_DISPLAY:-}" ]; then
  openbox >/dev/null 2>&1 & wm=$!
  sleep 0.5
fi
failed=0

geometry() {  # x y w h of a window, on the screen
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
                           /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}
# x y w h of a window's frame, then the top and bottom of its client area.
# Openbox says what its frame adds (_NET_FRAME_EXTENTS); weston's window
# manager says nothing, and its frame is the window it puts the client in,
# less the shadow it draws around it (FRAME_SHADOW pixels).
frame() {
  local x y w h l=0 r=0 t=0 b=0 ext parent
  read -r x y w h <<<"$(geometry "$1")"
  ext=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
  if [ -n "$ext" ]; then
    IFS=, read -r l r t b <<<"$ext"
  elif [ "${FRAME_SHADOW:-0}" -gt 0 ]; then
    parent=$(xwininfo -children -id "$1" | awk '/Parent window id:/{print $4}')
    local px py pw ph
    read -r px py pw ph <<<"$(geometry "$parent")"
    l=$((x - px - FRAME_SHADOW)) t=$((y - py - FRAME_SHADOW))
    r=$((px + pw - FRAME_SHADOW - x - w)) b=$((py + ph - FRAME_SHADOW - y - h))
  fi
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
    [ -n "$main" ] && { [ -n "$pad" ] || [ "${DOCKED:-0}" = 1 ]; } && break
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
  local why= note=
  # Where the window manager places X programs' windows itself (weston's),
  # the pad is shown inside the main window: no window of its own.
  if [ "${DOCKED:-0}" = 1 ] && [ -n "$pad" ]; then
    why="the pad has a window of its own, where the window manager would place it"
  elif [ -z "$main" ] || { [ -z "$pad" ] && [ "${DOCKED:-0}" != 1 ]; }; then
    # On a Wayland session, windows that are not on Xwayland's display are
    # Wayland's: the platform choice failed.
    why="windows not shown"
    [ -n "${WAYLAND_DISPLAY:-}" ] && why+=" on the display of Xwayland ($DISPLAY)"
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
      # Weston puts the main window where it likes (at random, under its
      # panel, which it tells no X program of), whatever Kalvor asks:
      # told, not counted.
      if [ "${DOCKED:-0}" = 1 ]; then
        note="; the window manager put the main window partly off screen ($mx,$my ${mw}x$mh)"
      else
        why+="main window off screen; "
      fi
    fi
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  rm -f "$KALVOR_DATA_DIR/err.dat"
  if [ -z "$why" ]; then
    echo "ok      ${sw}x$sh x$factor $stage$note"
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
[ -n "$wm" ] && kill "$wm" 2>/dev/null
exit $failed
CHECK

export SCRATCH="$scratch" WAIT=${KALVOR_GEOMETRY_WAIT:-2.5}
cases=0 failures=0 start=$SECONDS
count() {  # the output of one screen's checks
  echo "$1"
  cases=$((cases + $(grep -c '^ok\|^FAILED' <<<"$1")))
  failures=$((failures + $(grep -c '^FAILED' <<<"$1" || true)))
}

# One headless weston with Xwayland at w x h; prints its Wayland socket and
# X display once both are up, or nothing after 10 s.
start_weston() {
  local log=$scratch/weston-$1.log socket=kalvor-geometry-$$-$1
  export XDG_RUNTIME_DIR=$scratch/weston-run-$1
  mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  weston --backend=headless-backend.so --xwayland --no-config --idle-time=0 \
    --width="$1" --height="$2" --socket="$socket" --log="$log" >/dev/null 2>&1 &
  echo $! >"$scratch/weston.pid"
  local display=
  for _ in $(seq 1 100); do
    display=$(grep -a -o 'xserver listening on display :[0-9]*' "$log" 2>/dev/null | grep -o ':[0-9]*')
    [ -S "$XDG_RUNTIME_DIR/$socket" ] && [ -n "$display" ] && break
    sleep 0.1
  done
  # The socket by its whole path: each run below has a runtime directory
  # of its own.
  [ -S "$XDG_RUNTIME_DIR/$socket" ] && [ -n "$display" ] && echo "$XDG_RUNTIME_DIR/$socket $display"
}

# With Wayland alone (the operator chose it, or there is no Xwayland) the
# compositor places every window and tells no program where: the pad must
# be shown inside the main window. Qt's Wayland client says what it asks
# the compositor for (WAYLAND_DEBUG): the main window and no window titled
# as the pad, and Kalvor still running with the drawing reopened.
wayland_only() {
  local plugins
  plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null)
  if ! ls "$plugins"/platforms/libqwayland-* >/dev/null 2>&1; then
    echo "skipped: Wayland alone: Qt's Wayland platform missing (tools/deps.sh installs qt6-wayland)"
    return
  fi
  local data=$scratch/data-wayland-$1 log=$scratch/wayland-$1.log
  mkdir -p "$data" && mkdir -m 700 -p "$scratch/run-wayland-$1"
  printf '[frmTab]\r\nPadDrawing=%s\r\nPadDrawingPage=1\r\n' "$scratch/plan-1-100.pdf" >"$data/Kalvor.INI"
  : >"$log"
  (unset DISPLAY; XDG_RUNTIME_DIR=$scratch/run-wayland-$1 WAYLAND_DISPLAY=$3 QT_QPA_PLATFORM=wayland \
     WAYLAND_DEBUG=client KALVOR_DATA_DIR=$data KALVOR_PAD=virtual \
     exec "$scratch/Kalvor") >>"$log" 2>&1 &
  local pid=$!
  for _ in $(seq 1 150); do
    grep -q 'xdg_toplevel@[0-9]*\.set_title("Kalvor ／' "$log" && break
    sleep 0.1
  done
  sleep "$WAIT"
  local why=
  kill -0 "$pid" 2>/dev/null || why="Kalvor ended; "
  grep -q 'xdg_toplevel@[0-9]*\.set_title("Kalvor ／' "$log" || why+="no main window; "
  grep -q 'xdg_toplevel@[0-9]*\.set_title("仮想タブレット' "$log" &&
    why+="the pad has a window of its own; "
  [ -n "$why" ] && why+="windows: $(grep -o 'set_title(".*")' "$log" | tr '\n' ' ')"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  if [ -z "$why" ]; then echo "ok      ${1}x$2 Wayland alone: the pad inside the main window"
  else echo "FAILED  ${1}x$2 Wayland alone: $why"; fi
}

for screen in "1366 768" "1920 1080"; do
  read -r w h <<<"$screen"
  if [ "$weston" = 0 ]; then
    for factor in 1 1.5 2; do
      count "$(xvfb-run -a -s "-screen 0 ${w}x${h}x24 -dpi 96" bash "$scratch/check.sh" "$w" "$h" "$factor" 2>&1 || true)"
    done
    continue
  fi
  up=$(start_weston "$w" "$h")
  if [ -z "$up" ]; then
    echo "skipped: weston with Xwayland did not start here ($(tail -n 1 "$scratch/weston-$w.log" 2>/dev/null))"
    exit 0
  fi
  read -r socket display <<<"$up"
  # Xwayland under weston does not scale X clients: the factor is Qt's, as
  # under Xvfb. Weston's window manager draws a 32-pixel shadow around its
  # frames.
  for factor in 1 2; do
    count "$(WAYLAND_DISPLAY=$socket DISPLAY=$display FRAME_SHADOW=32 DOCKED=1 \
      bash "$scratch/check.sh" "$w" "$h" "$factor" 2>&1 || true)"
  done
  count "$(wayland_only "$w" "$h" "$socket")"
  stop_weston
done
echo "$cases cases, $failures failed ($((SECONDS - start)) s)"
[ "$failures" -eq 0 ]
