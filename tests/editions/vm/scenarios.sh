#!/usr/bin/env bash
# Kalvor against real kernel input devices, run inside the VM of
# tools/vm-input.sh (as root, udevd running):
#
#   scenarios.sh uinput   tablets made with uinput from the recordings' headers
#   scenarios.sh wacom    QEMU's USB Wacom tablet bound by hid-wacom, driven by
#                         the host (tests/editions/vm/wacom-square.sh)
#
# Environment: KALVOR (the full edition's executable), PROBE (grab_probe),
# UINPUT (uinput_tablet, which keeps the axes' resolutions), DATA
# (tests/data). Each check prints one PASS or FAIL line; the exit status
# is the number of failures.
#
# Kalvor runs in a real X session (Xvfb with openbox, so that its window is
# the active one, as on a desk), with the tablet found by its own discovery.
# Buttons are clicked where the design puts them in the client area, at the
# 96 dpi of Xvfb (15 twips a pixel): "計測開始" at 378,566, "計測中止" at 378,630.
set -uo pipefail

failures=0
pass() { echo "PASS $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: expected '$2', got '$3'"; fi
}

work=$(mktemp -d)
export DISPLAY=:7 QT_QPA_PLATFORM=xcb
Xvfb :7 -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &

# ---------------------------------------------------------------- devices
# Makes a uinput tablet from a recording's header; sets `node` and `device_pid`.
plug() {
  "$UINPUT" "$1" > "$work/device.txt" 2>&1 &
  device_pid=$!
  node=
  for _ in $(seq 1 100); do
    node=$(grep -o '/dev/input/event[0-9]*' "$work/device.txt" | head -n 1) && [ -n "$node" ] && break
    sleep 0.05
  done
  udevadm settle -t 10
}
unplug() { kill "$device_pid"; wait "$device_pid" 2>/dev/null; udevadm settle -t 10; }

# Events in evemu's format, all due at once, for evemu-play.
ev() { printf 'E: 0.000001 %04x %04x %d\n' "$1" "$2" "$3"; }
report() { ev 0 0 0; }
tool() { ev 1 "$1" 1; }            # a tool comes into proximity
at() { ev 3 0 "$1"; ev 3 1 "$2"; report; }
button() { ev 1 "$1" 1; report; ev 1 "$1" 0; report; }
BTN_0=0x100 BTN_1=0x101 BTN_TOOL_PEN=0x140 BTN_TOOL_MOUSE=0x146 BTN_TOUCH=0x14a
BTN_STYLUS=0x14b
play() { evemu-play "$node"; sleep "${1:-1}"; }

# ---------------------------------------------------------------- Kalvor
# Starts Kalvor on a data directory of its own with these settings lines
# (measurement, scale), waits for its window; sets `kalvor`, `window`, `dir`.
start_kalvor() {
  dir=$(mktemp -d "$work/data.XXXX")
  printf '[frmTab]\r\n' > "$dir/Kalvor.INI"
  for line in "$@"; do printf '%s\r\n' "$line" >> "$dir/Kalvor.INI"; done
  KALVOR_DATA_DIR=$dir XDG_RUNTIME_DIR=$dir "$KALVOR" > "$dir/log.txt" 2>&1 &
  kalvor=$!
  window=$(timeout 90 xdotool search --sync --onlyvisible --name '^Kalvor' | head -n 1)
  [ -n "$window" ] || { fail "Kalvor's window did not appear: $(cat "$dir/log.txt")"; return 1; }
  xdotool windowactivate --sync "$window" 2>/dev/null
  sleep 1
}
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.5; }
start_run() { click 378 566; }
stop_run() { click 378 630; }
# The autosave once it holds `expected`, or what it holds after `seconds`.
saved() {
  local expected=$1 seconds=${2:-20} i
  for i in $(seq 1 $((seconds * 4))); do
    [ "$(cat "$dir/Save.csv" 2>/dev/null)" = "$(printf '%b' "$expected")" ] && break
    sleep 0.25
  done
  cat "$dir/Save.csv" 2>/dev/null | tr -d '\r' | paste -sd'|'
}
quit_kalvor() { kill -9 "$kalvor" 2>/dev/null; wait "$kalvor" 2>/dev/null; }

# A square's four corners as picks with `btn` (with a move before each), then
# `side`.
square() {  # square BTN SIDE X0 Y0 SIDE_COUNTS_X SIDE_COUNTS_Y
  local b=$1 s=$2 x=$3 y=$4 w=$5 h=$6
  at "$x" "$y"; button "$b"
  at $((x + w)) "$y"; button "$b"
  at $((x + w)) $((y + h)); button "$b"
  at "$x" $((y + h)); button "$b"
  button "$s"
}

# ---------------------------------------------------------------- scenarios
# A pen hovering over the first corner when Kalvor starts taps it without
# moving; on a tablet of 100 counts/mm across and 80 up, a 10 mm square is
# 100 square millimetres (the scale: 10 mm over 1000 counts).
pen_hovering_at_start_on_unequal_axes() {
  plug "$DATA/pen-100x80.evemu"
  { tool $BTN_TOOL_PEN; at 1200 800; } | play 0
  start_kalvor "optMes=1" "txtInput 3=1000" || return
  start_run
  {
    button $BTN_TOUCH                   # the first corner, where it hovered
    at 2200 800; button $BTN_TOUCH      # +10 mm across: 1000 counts
    at 2200 1600; button $BTN_TOUCH     # +10 mm up: 800 counts
    at 1200 1600; button $BTN_TOUCH
    button $BTN_STYLUS
  } | play
  check "pen hovering at start, unequal axes: the square's area" "100.00" "$(saved '100.00\r\n')"
  quit_kalvor
  unplug
}

# A puck lying on the tablet when Kalvor starts (a generic HID digitizer's:
# its buttons are BTN_0 and BTN_1): its first click counts.
puck_lying_at_start() {
  plug "$DATA/hid-puck.evemu"
  { tool $BTN_TOOL_MOUSE; at 5000 5000; } | play 0
  start_kalvor "optMes=1" "txtInput 3=1000" || return
  start_run
  { button $BTN_0; at 6000 5000; button $BTN_0; at 6000 6000; button $BTN_0
    at 5000 6000; button $BTN_0; button $BTN_1; } | play
  check "puck lying at start: the square's area" "100.00" "$(saved '100.00\r\n')"
  quit_kalvor
  unplug
}

# On one tablet (a Wacom pen's header: 200 counts/mm, fuzz 4): the grab, a
# real SYN_DROPPED, an unplug in the middle of a figure and the replug, the
# grab's release at "計測中止" and at a kill.
grab_drop_and_replug() {
  plug "$DATA/wacom-pen-tap.evemu"
  start_kalvor "optMes=1" "txtInput 3=1000" || return
  check "no run: the tablet is free" "free" "$("$PROBE" "$node")"
  start_run
  check "during a run: a second reader cannot grab the tablet" "busy" "$("$PROBE" "$node")"

  # Kalvor stopped while 3,000 events arrive: the kernel's buffer of 256
  # overflows and Kalvor reads a SYN_DROPPED when it goes on.
  kill -STOP "$kalvor"
  { tool $BTN_TOOL_PEN; for i in $(seq 1 1500); do ev 3 0 $((20000 + (i % 2) * 100)); report; done; } | play 0
  kill -CONT "$kalvor"
  sleep 2
  if grep -q SYN_DROPPED "$dir/log.txt"; then pass "a real SYN_DROPPED was read"; else fail "no SYN_DROPPED"; fi
  square $BTN_TOUCH $BTN_STYLUS 10000 10000 1000 1000 | play
  check "after the SYN_DROPPED: the square's area" "100.00" "$(saved '100.00\r\n')"

  # Two corners, then the tablet goes away and comes back.
  { at 10000 10000; button $BTN_TOUCH; at 11000 10000; button $BTN_TOUCH; } | play
  unplug
  sleep 2
  check "unplugged: the title says so" "yes" \
    "$(xdotool getwindowname "$window" | grep -q '※タブレットが外されました' && echo yes || echo no)"
  plug "$DATA/wacom-pen-tap.evemu"
  sleep 3
  check "plugged in again: the title no longer says so" "no" \
    "$(xdotool getwindowname "$window" | grep -q '※タブレットが外されました' && echo yes || echo no)"
  { tool $BTN_TOOL_PEN; at 11000 11000; button $BTN_TOUCH; at 10000 11000; button $BTN_TOUCH
    button $BTN_STYLUS; } | play
  check "replugged: the figure begun before goes on" "100.00,100.00" "$(saved '100.00,100.00\r\n')"
  check "replugged during a run: the tablet is held again" "busy" "$("$PROBE" "$node")"

  stop_run
  check "after 計測中止: the tablet is free" "free" "$("$PROBE" "$node")"
  start_run
  check "a run again: held" "busy" "$("$PROBE" "$node")"
  kill -9 "$kalvor"
  wait "$kalvor" 2>/dev/null
  check "Kalvor killed: the tablet is free" "free" "$("$PROBE" "$node")"
  unplug
}

# QEMU's PenPartner (40 counts/mm) through the kernel's hid-wacom: the host
# picks a square of 800 counts a side and presses the side switch.
wacom_square() {
  start_kalvor "optMes=1" || return
  start_run
  : > "$VMT_OUT/wacom-ready"
  for _ in $(seq 1 120); do [ -e "$VMT_OUT/wacom-done" ] && break; sleep 0.5; done
  check "hid-wacom's tablet: the square's area" "100.00" "$(saved '100.00\r\n')"
  quit_kalvor
}

case "${1:-}" in
  uinput)
    pen_hovering_at_start_on_unequal_axes
    puck_lying_at_start
    grab_drop_and_replug
    ;;
  wacom) wacom_square ;;
  *) echo "usage: $0 uinput|wacom" >&2; exit 2 ;;
esac
exit "$failures"
