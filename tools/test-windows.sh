#!/usr/bin/env bash
# The Windows part of ./test.sh: cross-builds both editions and the test
# suites for 64-bit Windows (build-win/, preset "windows"), runs the suites
# and the end-to-end test under Wine, builds the zip and starts Kalvor.exe
# from a fresh unzipped copy.
#
# The Qt for MinGW comes from KALVOR_QT_MINGW, else ../shared/qt6-mingw64
# beside the project root, else where tools/build-windows-deps.sh builds it,
# and poppler and the image plugins for it from KALVOR_MINGW_EXTRAS, else
# ../shared/mingw-extras, else where that script builds them; without them
# the part is skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)
phase_started=$started
phase() {
  local now
  now=$(date +%s)
  echo "== windows: $1 ($((now - phase_started)) s)"
  phase_started=$now
}

# Where tools/build-windows-deps.sh puts what it builds.
deps="${XDG_CACHE_HOME:-$HOME/.cache}/kalvor-windows-deps"
qt="${KALVOR_QT_MINGW:-}"
for candidate in ../shared/qt6-mingw64 "$deps/qt6-mingw64"; do
  if [ -z "$qt" ] && [ -d "$candidate/lib/cmake/Qt6" ]; then qt=$(realpath "$candidate"); fi
done
if [ -z "$qt" ] || [ ! -d "$qt/lib/cmake/Qt6" ]; then
  echo "skipped: no Qt for MinGW (tools/build-windows-deps.sh builds one)"
  exit 0
fi
export KALVOR_QT_MINGW="$qt"
extras="${KALVOR_MINGW_EXTRAS:-}"
for candidate in ../shared/mingw-extras "$deps/mingw-extras"; do
  if [ -z "$extras" ] && [ -d "$candidate/lib/cmake/PopplerQt6" ]; then
    extras=$(realpath "$candidate")
  fi
done
if [ -z "$extras" ] || [ ! -d "$extras/lib/cmake/PopplerQt6" ]; then
  echo "skipped: no poppler-qt6 for MinGW (KALVOR_MINGW_EXTRAS)"
  exit 0
fi
export KALVOR_MINGW_EXTRAS="$extras"

. tools/deps.sh
# What this part needs besides the Linux build's packages: the POSIX-thread
# MinGW compiler, GoogleTest's sources, Wine, Debian's Qt as the host tools,
# Qt's translations for the zip and a Japanese font for the offscreen runs.
KALVOR_PACKAGES=(
  cmake g++-mingw-w64-x86-64-posix googletest
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  wine wine64 fonts-ipafont-gothic
)
kalvor_install_deps

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake --preset windows "${launcher[@]}" >/dev/null
cmake --build build-win -j"$(nproc)"
phase "built"

# A fresh Wine prefix for this run, and a Wine server kept up for its whole
# length: every program then starts in a fraction of a second instead of
# about three.
scratch=$(mktemp -d)
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
timeout 300 wineboot -i >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1 &
phase "Wine prefix ready"

ctest --test-dir build-win --output-on-failure -j"$(nproc)" --timeout 600
phase "suites passed under Wine"

cmake --build build-win --target package >/dev/null
zip=$(ls build-win/Kalvor-*-windows-x64.zip)
mkdir "$scratch/unzipped"
(cd "$scratch/unzipped" && cmake -E tar xf "$OLDPWD/$zip")
dir=$(ls -d "$scratch"/unzipped/Kalvor-*-windows-x64)
for f in Kalvor.exe Kalvor080125.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
         platforms/qwindows.dll styles/qwindowsvistastyle.dll libstdc++-6.dll \
         libgcc_s_seh-1.dll libwinpthread-1.dll translations/qtbase_ja.qm README-ja.txt \
         LICENSE.txt kalvor-pdf.dll kalvor-drawing.exe libpoppler-qt6-3.dll libpoppler-126.dll libfreetype.dll libjpeg-62.dll \
         libtiff.dll zlib1.dll imageformats/qjpeg.dll imageformats/qtiff.dll \
         share/poppler/cMap/Adobe-Japan1/UniJIS-UCS2-H licenses/poppler/COPYING; do
  [ -f "$dir/$f" ] || { echo "$zip lacks $f" >&2; exit 1; }
done

# Started from the unzipped folder alone (no WINEPATH): its settings file and
# run marker must appear beside it. The tablet is an empty replay: the real
# no-tablet path shows a notice that nobody closes here.
win_path() { echo "Z:${1//\//\\}"; }
: >"$scratch/empty-replay.txt"
WINEQT_QPA_PLATFORM=offscreen KALVOR_PAD="replay:$(win_path "$scratch/empty-replay.txt")" \
  timeout 120 wine "$dir/Kalvor.exe" >"$scratch/smoke.log" 2>&1 &
smoke=$!
for _ in $(seq 1 300); do
  [ -f "$dir/Kalvor.INI" ] && [ -f "$dir/err.dat" ] && break
  sleep 0.1
done
kill "$smoke" 2>/dev/null || true
wait "$smoke" 2>/dev/null || true
if [ ! -f "$dir/Kalvor.INI" ] || [ ! -f "$dir/err.dat" ]; then
  echo "Kalvor.exe from $zip made no Kalvor.INI and err.dat beside it:" >&2
  cat "$scratch/smoke.log" >&2
  exit 1
fi

# As an operator starts it: Wine's wintab32 has no tablet, so the program
# loads the Wintab library, tells of the missing tablet and waits on that
# notice; it must still be running, not have failed on the way.
WINEQT_QPA_PLATFORM=offscreen timeout 120 wine "$dir/Kalvor080125.exe" >"$scratch/notice.log" 2>&1 &
operator=$!
sleep 5
if ! kill -0 "$operator" 2>/dev/null; then
  echo "Kalvor080125.exe from $zip ended at start without a tablet:" >&2
  cat "$scratch/notice.log" >&2
  exit 1
fi
kill "$operator" 2>/dev/null || true
wait "$operator" 2>/dev/null || true
phase "$(basename "$zip") unzipped and started"
echo "== windows: done in $(($(date +%s) - started)) s"
