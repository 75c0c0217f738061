#!/usr/bin/env bash
# Pictures of the program as an operator sees it, under Xvfb with a window
# manager, written as PNG files:
#   tools/screenshot.sh [--docs] [SHOT...]
# SHOT is one of
#   Kalvor, Kalvor080125   the main window of an edition
#   pad                    the on-screen pad with a figure drawn on it
#   pad-drawing            the pad with the sample plan open and an area
#                          picked on it
#   pad-figures            the plan with five rooms measured and kept on
#                          it, the last one's cell selected
#   figure                 the figure window beside a replayed tablet (F11)
#   question, save         a question box and the save dialog, in Japanese
# (all of them when none is named). The pictures go to build/screenshots/;
# with --docs they replace the README's pictures in docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/screenshots
if [ "${1:-}" = --docs ]; then
  out=docs
  shift
fi
shots=("$@")
[ ${#shots[@]} -gt 0 ] || shots=(Kalvor Kalvor080125 pad pad-drawing pad-figures figure question save)
. tools/deps.sh
kalvor_install_deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target Kalvor Kalvor080125 -j"$(nproc)" >/dev/null
mkdir -p "$out"
out=$(realpath "$out")

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Run where they were built: they find their drawing helper there.
bin=$(realpath build/src/editions)
cp samples/plan-1-100.pdf "$scratch/"
cat > "$scratch/square.replay" <<'REPLAY'
wait 500
pick 1000 1000
pick 2600 1200
pick 2400 2600
pick 1200 2300
REPLAY

# Runs inside the X server: starts one program, waits for its window, does
# what the shot needs and writes the picture.
cat > "$scratch/shoot.sh" <<'SHOOT'
set -euo pipefail
shot=$1 edition=$2 file=$3
export XDG_RUNTIME_DIR=$SCRATCH/run-$shot; mkdir -m 700 -p "$XDG_RUNTIME_DIR"
export KALVOR_DATA_DIR=$SCRATCH/data-$shot
# Not a first start: no notice of where the files go.
mkdir -p "$KALVOR_DATA_DIR" && printf '[frmTab]\r\n' > "$KALVOR_DATA_DIR/$edition.INI"
if [ "$shot" = pad-drawing ] || [ "$shot" = pad-figures ]; then
  # The sample plan kept open at 120 %, the house in the middle, and
  # "多点の面積" chosen.
  printf 'optMes=1\r\nPadDrawing=%s\r\nPadDrawingPage=1\r\nPadDrawingZoom=1.2\r\nPadDrawingX=170\r\nPadDrawingY=122\r\n' \
    "$SCRATCH/plan-1-100.pdf" >> "$KALVOR_DATA_DIR/$edition.INI"
fi
openbox >/dev/null 2>&1 & wm=$!
sleep 0.5
"$BIN/$edition" >/dev/null 2>&1 & pid=$!
win=
for _ in $(seq 1 100); do
  win=$(xdotool search --onlyvisible --name "^Kalvor ／" 2>/dev/null | head -n 1) && [ -n "$win" ] && break
  sleep 0.1
done
sleep 1
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.7; }
grab=$win
case $shot in
  pad)
    pad=$(xdotool search --onlyvisible --name "仮想タブレット" | head -n 1)
    # A figure picked with the left button, as with a pen.
    for p in "60 60" "200 80" "180 200" "70 170"; do
      xdotool mousemove --window "$pad" $p click 1; sleep 0.3
    done
    grab=root ;;
  pad-drawing)
    pad=$(xdotool search --onlyvisible --name "仮想タブレット" | head -n 1)
    xdotool windowsize "$pad" 820 640; sleep 1
    click 379 585     # 計測開始
    # The house's four outer corners (110, 80) to (230, 160) mm on the
    # paper, at 120 % of 96 dpi about the view's centre.
    for p in "138 108" "682 108" "682 471" "138 471"; do
      xdotool mousemove --window "$pad" $p click 1; sleep 0.4
    done
    xdotool mousemove --window "$pad" 420 300; sleep 0.5
    grab=root ;;
  pad-figures)
    pad=$(xdotool search --onlyvisible --name "仮想タブレット" | head -n 1)
    xdotool windowsize "$pad" 820 640; sleep 1
    click 379 585     # 計測開始
    # Five rooms, each ended with the right button (the pen's side
    # switch); each value lands in the next cell.
    # Living, dining and kitchen, entry, bedroom, bath (inside their walls).
    for room in "144 105|360 105|360 321|144 321" "364 105|672 105|672 298|364 298" \
                "144 325|360 325|360 449|144 449" "364 302|518 302|518 449|364 449" \
                "522 302|672 302|672 449|522 449"; do
      IFS='|' read -r -a corners <<< "$room"
      for p in "${corners[@]}"; do
        xdotool mousemove --window "$pad" $p click 1; sleep 0.4
      done
      xdotool mousemove --window "$pad" 420 40 click 3; sleep 0.8
    done
    # Back to the last value's cell: its outline stands out.
    xdotool key --window "$win" Left; sleep 0.8
    xdotool mousemove --window "$pad" 760 40; sleep 0.3
    grab=root ;;
  figure)
    sleep 2.5
    xdotool key --window "$win" F11; sleep 1
    grab=root ;;
  question)
    click 611 585     # クリア
    grab=root ;;
  save)
    click 535 650     # ﾌｧｲﾙ保存
    sleep 1
    grab=root ;;
esac
import -window "$grab" "$file"
kill "$pid" "$wm" 2>/dev/null || true
wait 2>/dev/null || true
SHOOT

export SCRATCH="$scratch" BIN="$bin"
for shot in "${shots[@]}"; do
  edition=Kalvor
  pad=none
  case $shot in
    Kalvor|question|save) ;;
    Kalvor080125) edition=Kalvor080125 ;;
    pad|pad-drawing|pad-figures) pad=virtual ;;
    figure) pad="replay:$scratch/square.replay" ;;
    *) echo "unknown shot: $shot" >&2; exit 2 ;;
  esac
  KALVOR_PAD=$pad xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" \
    bash "$scratch/shoot.sh" "$shot" "$edition" "$out/$shot.png"
  echo "wrote $out/$shot.png"
done
