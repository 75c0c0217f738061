#!/usr/bin/env bash
# Builds the benchmark programs in Release and prints their figures.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
kalvor_install_deps
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DKALVOR_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target grid_bench exchange_bench measure_bench window_bench
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
for b in grid_bench exchange_bench measure_bench window_bench; do
  echo "== $b"
  "build-release/bench/$b"
done
