#!/usr/bin/env bash
# Builds everything and runs the whole test suite headless through CTest.
# KALVOR_SANITIZE=1 ./test.sh builds with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/.
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

# The Debian package made from the same build: its contents, its menu
# entries, and one start of the installed program.
if [ "${KALVOR_SANITIZE:-0}" != 1 ]; then
  tools/test-package.sh "$build"
fi

# The crash loop: the real program killed 100 times at random moments, every
# recovery checked (about two minutes).
if [ "${KALVOR_SANITIZE:-0}" != 1 ]; then
  KALVOR_BUILD_DIR="$build" tools/crash-loop.sh 100
fi
