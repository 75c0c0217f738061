#!/usr/bin/env bash
# Builds the benchmark programs in Release and prints their figures: first
# the speed table (each figure beside its floor measured in the same run),
# then the detail programs. Benchmarks print; they never fail on a figure.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
kalvor_install_deps
programs=(table_bench drawing_bench grid_bench exchange_bench measure_bench window_bench)
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DKALVOR_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target "${programs[@]}"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

# The cold start under a real X server as well as offscreen.
display=:97
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1
echo "== the speed table (medians; floors measured in this run)"
DISPLAY="$display" build-release/bench/table_bench
echo "== the drawing on the pad and the figure (medians; floors measured in this run)"
build-release/bench/drawing_bench
for b in "${programs[@]:2}"; do
  echo "== $b"
  "build-release/bench/$b"
done
