#!/usr/bin/env bash
# Builds and starts Kalvor: ./run.sh starts the full edition,
# ./run.sh Kalvor080125 the reduced edition. The settings and the autosave
# live in the per-user data directory (the same one an installed Kalvor
# uses), so rebuilding or deleting build/ loses nothing; KALVOR_DATA_DIR
# names another directory.
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
export KALVOR_DATA_DIR="${KALVOR_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/$edition}"
echo "Kalvor's files: $KALVOR_DATA_DIR"
exec "build/src/editions/$edition"
