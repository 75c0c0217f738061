#!/usr/bin/env bash
# Part of ./test.sh: Kalvor against real kernel input devices, in a VM
# (tools/vm-input.sh) running tests/editions/vm/scenarios.sh: a pen hovering
# and a puck lying on the tablet at start, unequal axis resolutions, the grab
# while measuring, a real SYN_DROPPED, unplug and replug through udev, and
# QEMU's USB Wacom tablet through the kernel's hid-wacom.
#   tools/test-vm.sh [BUILD_DIR]   (default build)
# Skipped, with a line saying why, where the VM cannot run.
set -uo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")

if [ "$(id -u)" != 0 ]; then
  echo "skipped: the VM needs root (it shares / over 9p)"
  exit 0
fi
. tools/deps.sh
# What the scenarios run in the guest, from this machine's root.
KALVOR_PACKAGES=(xvfb xauth x11-utils xdotool openbox evemu-tools udev socat)
kalvor_install_deps
for program in "$build/src/editions/Kalvor" "$build/tests/editions/"{grab_probe,uinput_tablet}; do
  [ -x "$program" ] || { echo "FAIL: $program is not built"; exit 1; }
done

guest=(env KALVOR="$build/src/editions/Kalvor" PROBE="$build/tests/editions/grab_probe"
       UINPUT="$build/tests/editions/uinput_tablet"
       DATA="$PWD/tests/data" "$PWD/tests/editions/vm/scenarios.sh")
status=0
for scenario in uinput wacom; do
  options=(-t 420)
  [ "$scenario" = wacom ] && options=(-t 240 -w -H tests/editions/vm/wacom-square.sh)
  tools/vm-input.sh "${options[@]}" -- "${guest[@]}" "$scenario"
  rc=$?
  if [ "$rc" = 125 ]; then
    echo "skipped: the VM could not run here (see the line above)"
    exit 0
  fi
  [ "$rc" = 0 ] || status=1
done
exit "$status"
