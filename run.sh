#!/usr/bin/env bash
# Builds and starts Kalvor: ./run.sh starts the full edition,
# ./run.sh Kalvor080125 the reduced edition.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
kalvor_install_deps

edition="${1:-Kalvor}"
case "$edition" in
  Kalvor|Kalvor080125) ;;
  *) echo "usage: $0 [Kalvor|Kalvor080125]" >&2; exit 2 ;;
esac

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target "$edition" -j"$(nproc)"
exec "build/src/editions/$edition"
