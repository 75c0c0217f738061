#!/usr/bin/env bash
# Builds everything and runs the whole test suite headless through CTest,
# then the Windows edition's (tools/test-windows.sh: cross-built, run under
# Wine; KALVOR_WINDOWS=0 leaves it out).
# KALVOR_SANITIZE=1 ./test.sh builds with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/, without the Windows part.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
kalvor_install_deps

build=build
extra=()
if [ "${KALVOR_SANITIZE:-0}" = 1 ]; then
  build=build-asan
  extra=(-DKALVOR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DKALVOR_BUILD_BENCH=OFF)
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}"
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"

if [ "${KALVOR_SANITIZE:-0}" != 1 ] && [ "${KALVOR_WINDOWS:-1}" != 0 ]; then
  tools/test-windows.sh
fi
