#!/usr/bin/env bash
# Kills the real program N times with SIGKILL at random moments (in start-up,
# during its recovery, while it writes, between values), starts it again and
# checks each recovery: every value of the last complete autosave back in its
# cell, the autosave never torn or emptied, every measured value's figure in
# the figures file beside it, no temporary files left behind.
#
#   tools/crash-loop.sh N [--seed S] [--verbose] [--keep]
#
# Builds Kalvor and the driver in build/ (or $KALVOR_BUILD_DIR), configuring
# it as ./test.sh does when that has not happened yet. Prints the seed first
# (--seed S replays those rounds) and "N kills, L lost, T torn, X leftovers"
# last; fails when L, T or X is not 0. Linux only.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 1 ] || ! [[ $1 =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: tools/crash-loop.sh N [--seed S] [--verbose] [--keep]" >&2
  exit 2
fi
kills=$1
shift
build=${KALVOR_BUILD_DIR:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  . tools/deps.sh
  kalvor_install_deps
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
if ! log=$(cmake --build "$build" -j"$(nproc)" --target crash_loop 2>&1); then
  echo "$log" >&2
  exit 1
fi
exec "$build/tests/crash/crash_loop" --kills "$kills" "$@"
