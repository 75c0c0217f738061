#!/usr/bin/env bash
# Host side of the "wacom" scenario: once the guest says Kalvor is measuring
# (wacom-ready in the shared directory), drives QEMU's usb-wacom-tablet
# through QMP: four picks (left button: the pen's tip) on the corners of a
# square of 800 × 800 PenPartner counts, then the right button (BTN_STYLUS,
# the side switch). Run by tools/vm-input.sh -w with VMT_RUN and VMT_OUT set.
set -uo pipefail
for _ in $(seq 1 1800); do [ -e "$VMT_OUT/wacom-ready" ] && break; sleep 0.1; done
[ -e "$VMT_OUT/wacom-ready" ] || { echo "the guest was never ready"; exit 1; }
# QEMU scales 0..0x7fff to 0..5040 (X) and 0..3780 (Y) with integer
# division: these give exactly 1000 and 1800 counts on both axes.
x1=6502 x2=11703 y1=8669 y2=15604
# The device reports only its latest state when polled (about every 0.8 s
# under TCG): one change at a time.
step=0.8
send() { printf '{"execute":"input-send-event","arguments":{"events":[%s]}}\n' "$1"; sleep "$step"; }
move() { send "{\"type\":\"abs\",\"data\":{\"axis\":\"x\",\"value\":$1}},{\"type\":\"abs\",\"data\":{\"axis\":\"y\",\"value\":$2}}"; }
press() { send "{\"type\":\"btn\",\"data\":{\"down\":$2,\"button\":\"$1\"}}"; }
pick() { move "$1" "$2"; press left true; press left false; }
{
  echo '{"execute":"qmp_capabilities"}'
  sleep 0.3
  pick $x1 $y1; pick $x2 $y1; pick $x2 $y2; pick $x1 $y2
  press right true; press right false
} | timeout 120 socat -t 2 - "UNIX-CONNECT:$VMT_RUN/qmp.sock" > /dev/null
: > "$VMT_OUT/wacom-done"
