#!/usr/bin/env bash
# Builds everything and runs every test headless:
#   1. the suite through CTest (build/);
#   2. the crash loop: the real program killed 100 times, every recovery
#      checked (tools/crash-loop.sh), and where the windows open at two
#      screen sizes and three scale factors, under X and on a Wayland
#      session (tools/test-geometry.sh, and with --weston);
#   3. the Debian package made from that build, installed and started once,
#      and the Linux tablet library against real kernel input devices in a
#      VM (tools/test-vm.sh);
#   4. the Windows edition, cross-built and run under Wine
#      (tools/test-windows.sh; KALVOR_WINDOWS=0 leaves it out);
#   5. the fuzzers, 30 s each after their stored cases (tools/fuzz.sh);
#   6. the whole suite again under AddressSanitizer and
#      UndefinedBehaviorSanitizer (build-asan/).
# KALVOR_SANITIZE=1 ./test.sh runs only the sanitizer suite;
# KALVOR_QUICK=1 ./test.sh only the first step.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
kalvor_install_deps
export QT_QPA_PLATFORM=offscreen

step() { printf '\n== %s\n' "$*"; }

# Builds into $1 with the remaining arguments and runs its CTest suite.
suite() {
  local build=$1
  shift
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$build" -j"$(nproc)"
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
}

sanitized() {
  step "the suite under AddressSanitizer and UndefinedBehaviorSanitizer"
  suite build-asan -DKALVOR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DKALVOR_BUILD_BENCH=OFF
}

if [ "${KALVOR_SANITIZE:-0}" = 1 ]; then
  sanitized
  exit 0
fi

step "the suite"
suite build

[ "${KALVOR_QUICK:-0}" = 1 ] && exit 0

step "the crash loop: the real program killed 100 times, every recovery checked"
KALVOR_BUILD_DIR=build tools/crash-loop.sh 100

step "where the windows open: 1366 x 768 and 1920 x 1080, scale factors 1 to 2"
tools/test-geometry.sh build

step "where the windows open on a Wayland session: weston with Xwayland, and Wayland alone"
tools/test-geometry.sh build --weston

step "the Debian package"
tools/test-package.sh build

step "the tablet against real kernel input devices, in a VM"
tools/test-vm.sh build

if [ "${KALVOR_WINDOWS:-1}" != 0 ]; then
  step "the Windows edition under Wine"
  tools/test-windows.sh
fi

step "the fuzzers: the text table, the settings file, the number texts"
tools/fuzz.sh 30

sanitized
