#!/usr/bin/env bash
# Starts an edition under Xvfb, waits until its window is shown and writes a
# PNG of it:  tools/screenshot.sh [Kalvor|Kalvor080125] [OUT.png]
# The program runs in a scratch copy so that its settings and autosave files
# do not land in the build tree.
set -euo pipefail
cd "$(dirname "$0")/.."
edition="${1:-Kalvor}"
out="$(realpath -m "${2:-docs/$edition.png}")"
. tools/deps.sh
kalvor_install_deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target "$edition" -j"$(nproc)" >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "build/src/editions/$edition" "$scratch/"
mkdir -p "$(dirname "$out")"

export KALVOR_SCRATCH="$scratch" KALVOR_EDITION="$edition" KALVOR_OUT="$out"
xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" bash -c '
  export XDG_RUNTIME_DIR="$KALVOR_SCRATCH/run"; mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  "$KALVOR_SCRATCH/$KALVOR_EDITION" & pid=$!
  for _ in $(seq 1 100); do
    if xdotool search --onlyvisible --name Kalvor >/dev/null 2>&1; then break; fi
    sleep 0.1
  done
  sleep 1
  win=$(xdotool search --onlyvisible --name Kalvor | head -n 1)
  import -window "$win" "$KALVOR_OUT"
  kill "$pid"; wait "$pid" 2>/dev/null || true
'
echo "wrote $out"
