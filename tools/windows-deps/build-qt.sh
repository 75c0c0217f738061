#!/bin/bash
# Qt 6 for 64-bit Windows as the Windows edition is built against: a minimal,
# shared, release qtbase (Core, Gui, Widgets, Test; the windows and offscreen
# platform plugins), cross-compiled on Debian 12 from Debian's own qt6-base
# source package with Debian's MinGW-w64 (POSIX threads). Called by
# tools/build-windows-deps.sh; about 30 minutes on 2 cores, a prefix of ~70 MB.
#
# Environment (defaults in brackets):
#   WORK        work directory: src/, build-qtbase/, logs/ [$TMPDIR/kalvor-qt-mingw]
#   PREFIX      install prefix; deleted and recreated [$WORK/prefix]
#   JOBS        parallel compile jobs [2]
#   SRC_CACHE   a directory holding qt6-base_<ver>.dsc and its tarballs (skips apt-get source)
#   SKIP_APT    1 = install no packages and leave apt's sources alone
#   STRIP       1 = strip the DLLs and the copied MinGW runtime [1]
#   TRIM        1 = drop what a Widgets program does not need [0]
#   PACK        1 = also write $WORK/qt6-mingw64-<ver>.tar.xz [0]
#   KEEP_BUILD  1 = resume in an existing, configured build directory
# What had to change to make this Qt build here, each found on these
# machines, is said where the script does it.
set -euo pipefail

SCRIPT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WORK=${WORK:-${TMPDIR:-/tmp}/kalvor-qt-mingw}
PREFIX=${PREFIX:-$WORK/prefix}
JOBS=${JOBS:-2}
STRIP=${STRIP:-1}
TRIM=${TRIM:-0}
PACK=${PACK:-0}
KEEP_BUILD=${KEEP_BUILD:-0}
QT_DEB_VERSION=${QT_DEB_VERSION:-6.4.2+dfsg-10}
QT_UPSTREAM=${QT_DEB_VERSION%%-*}          # 6.4.2+dfsg
QT_VERSION=${QT_UPSTREAM%%+*}              # 6.4.2
TRIPLE=x86_64-w64-mingw32
TOOLCHAIN=${TOOLCHAIN:-$WORK/toolchain-mingw64.cmake}
HOST_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
LOGS=$WORK/logs
NICE="nice -n 19"

log() { printf '\n=== %s: %s\n' "$(date +%T)" "$*"; }
die() { printf 'ERROR: %s\n' "$*" >&2; exit 1; }
. "$SCRIPT_DIR/deb-src.sh"

mkdir -p "$WORK" "$LOGS"

# --------------------------------------------------------------------------
# 1. Packages (all from Debian 12's archive)
# --------------------------------------------------------------------------
if [ "${SKIP_APT:-0}" != 1 ]; then
    [ "$(id -u)" = 0 ] || die "the apt steps need root (or SKIP_APT=1 with everything installed)"
    if add_deb_src; then
        apt-get update > "$LOGS/apt-update.log" 2>&1 || die "apt-get update failed"
    fi
    # Install only what is missing; never upgrade packages that are already there
    # (naming an installed package to apt-get install would upgrade it).
    missing=()
    for pkg in g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
               binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev \
               qt6-base-dev qt6-base-dev-tools \
               cmake ninja-build dpkg-dev xz-utils perl; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$pkg")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        log "installing: ${missing[*]}"
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-upgrade \
            --no-install-recommends "${missing[@]}"
    fi
fi

for tool in $TRIPLE-g++-posix $TRIPLE-gcc-posix $TRIPLE-windres cmake ninja; do
    command -v "$tool" >/dev/null || die "missing tool: $tool"
done
[ -x /usr/lib/qt6/libexec/moc ] || die "host Qt tools missing (qt6-base-dev-tools)"

# The host Qt (moc/rcc/uic, Qt6*Tools CMake packages) must be the same version.
host_ver=$(sed -n 's/.*PACKAGE_VERSION "\([0-9.]*\)".*/\1/p' \
    "$HOST_CMAKE_DIR/Qt6Core/Qt6CoreConfigVersionImpl.cmake" | head -1)
[ "$host_ver" = "$QT_VERSION" ] || die "host Qt is '$host_ver', source is $QT_VERSION"

# --------------------------------------------------------------------------
# 2. Toolchain file: keep an existing one, else copy the one next to this
#    script.
# --------------------------------------------------------------------------
[ -f "$TOOLCHAIN" ] || cp "$SCRIPT_DIR/toolchain-mingw64.cmake" "$TOOLCHAIN"

# --------------------------------------------------------------------------
# 3. Source: Debian's qt6-base (patches applied by dpkg-source)
# --------------------------------------------------------------------------
SRC_PARENT=$WORK/src
SRC=$SRC_PARENT/qt6-base-$QT_UPSTREAM
if [ ! -f "$SRC/configure" ]; then
    mkdir -p "$SRC_PARENT"
    cd "$SRC_PARENT"
    if [ -n "${SRC_CACHE:-}" ]; then
        log "unpacking cached source from $SRC_CACHE"
        cp "$SRC_CACHE"/qt6-base_"$QT_UPSTREAM"* .
        dpkg-source -x "qt6-base_$QT_DEB_VERSION.dsc" > "$LOGS/extract.log" 2>&1
    else
        log "apt-get source qt6-base=$QT_DEB_VERSION"
        # Needs a deb-src line for bookworm in /etc/apt/sources.list(.d).
        apt-get source "qt6-base=$QT_DEB_VERSION" > "$LOGS/extract.log" 2>&1
    fi
fi
[ -f "$SRC/configure" ] || die "no source tree at $SRC"

# Debian's +dfsg tarball drops src/3rdparty/wintab (licence), but the qwindows
# platform plugin includes <wintab.h>/<pktdef.h> whenever the "tabletevent"
# feature is on.  Use Wine's LGPL transcription of those headers (libwine-dev)
# behind a small shim instead of switching tablet support off.
WT=$SRC/src/3rdparty/wintab
if [ ! -f "$WT/wintab.h" ]; then
    log "providing src/3rdparty/wintab from Wine's headers (libwine-dev)"
    WINE_INC=/usr/include/wine/wine/windows
    if [ ! -f "$WINE_INC/pktdef.h" ]; then
        mkdir -p "$WORK/wintab-src"
        ( cd "$WORK/wintab-src" && rm -rf x && apt-get download libwine-dev \
              && dpkg-deb -x libwine-dev_*.deb x ) > "$LOGS/wintab.log" 2>&1 \
            || die "could not fetch libwine-dev (see $LOGS/wintab.log)"
        WINE_INC=$WORK/wintab-src/x/usr/include/wine/wine/windows
    fi
    mkdir -p "$WT/wine"
    cp "$WINE_INC/wintab.h" "$WINE_INC/pktdef.h" "$WT/wine/"
    cat > "$WT/wintab.h" <<'EOF'
/*
 * Stand-in for Qt's src/3rdparty/wintab, which Debian's +dfsg source of qtbase
 * leaves out ("license does not permit modification").  It forwards to Wine's
 * LGPL-2.1 transcription of the WinTab headers (Debian package libwine-dev,
 * /usr/include/wine/wine/windows/{wintab,pktdef}.h), copied into ./wine/.
 * Wine's header relies on two Wine/winelib macros and Qt relies on API from
 * the original header; provide them here for MinGW-w64.
 */
#ifndef QTWIN_WINTAB_SHIM_H
#define QTWIN_WINTAB_SHIM_H

#include <windows.h>

#ifndef API
#  define API WINAPI
#endif
#ifndef WINELIB_NAME_AW
#  ifdef UNICODE
#    define WINELIB_NAME_AW(name) name##W
#  else
#    define WINELIB_NAME_AW(name) name##A
#  endif
#endif
#ifndef DECL_WINELIB_TYPE_AW
#  define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#endif

#include "wine/wintab.h"

#endif
EOF
    printf '%s\n' '/* See wintab.h in this directory. */' '#include "wine/pktdef.h"' \
        > "$WT/pktdef.h"
fi

# --------------------------------------------------------------------------
# 4. Configure
# --------------------------------------------------------------------------
BUILD=$WORK/build-qtbase
CONFIGURE_ARGS=(
    -prefix "$PREFIX"
    -qt-host-path /usr
    -release -shared
    -nomake tests -nomake examples
    -no-opengl -no-feature-vulkan
    -no-dbus -no-icu -no-pkg-config -no-zstd
    -no-feature-network -no-feature-sql -no-feature-printsupport
    -no-feature-concurrent -no-feature-xml
    -qt-pcre -qt-zlib -qt-libpng -qt-harfbuzz -qt-freetype -no-libjpeg
    -no-feature-androiddeployqt -no-feature-direct2d1_1
    -cmake-generator Ninja
    --
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN"
    -DQT_HOST_PATH_CMAKE_DIR="$HOST_CMAKE_DIR"
)
t0=$(date +%s)
if [ "$KEEP_BUILD" = 1 ] && [ -f "$BUILD/CMakeCache.txt" ]; then
    log "reusing configured $BUILD"
    cd "$BUILD"
else
    rm -rf "$BUILD"
    mkdir -p "$BUILD"
    cd "$BUILD"
    log "configure (log: $LOGS/configure.log)"
    $NICE "$SRC/configure" "${CONFIGURE_ARGS[@]}" > "$LOGS/configure.log" 2>&1 \
        || { tail -40 "$LOGS/configure.log"; die "configure failed"; }
fi
t1=$(date +%s)
echo "configure: $((t1 - t0)) s" | tee "$LOGS/times.txt"

# --------------------------------------------------------------------------
# 5. Build + install
# --------------------------------------------------------------------------
log "build with $JOBS jobs (log: $LOGS/build.log)"
$NICE cmake --build . --parallel "$JOBS" > "$LOGS/build.log" 2>&1 \
    || { grep -A20 FAILED "$LOGS/build.log" | head -60; die "build failed"; }
t2=$(date +%s)
echo "build: $((t2 - t1)) s" | tee -a "$LOGS/times.txt"

log "install into $PREFIX"
rm -rf "$PREFIX"
if [ "$STRIP" = 1 ]; then
    $NICE cmake --install . --strip > "$LOGS/install.log" 2>&1
else
    $NICE cmake --install . > "$LOGS/install.log" 2>&1
fi

# Convenience copies so a consumer finds everything in the prefix.
cp "$TOOLCHAIN" "$PREFIX/toolchain-mingw64.cmake"
mkdir -p "$PREFIX/mingw-runtime"
# The posix-thread flavour lives in .../12-posix; never mix in the 12-win32 one.
gcc_dir=$(dirname "$($TRIPLE-g++-posix -print-libgcc-file-name)")
for dll in "$gcc_dir/libstdc++-6.dll" "$gcc_dir/libgcc_s_seh-1.dll" \
           "/usr/$TRIPLE/lib/libwinpthread-1.dll"; do
    [ -f "$dll" ] || die "MinGW runtime DLL not found: $dll"
    if [ "$STRIP" = 1 ]; then    # Debian ships them with debug info (libstdc++: 23 MB)
        $TRIPLE-strip -o "$PREFIX/mingw-runtime/$(basename "$dll")" "$dll"
    else
        cp "$dll" "$PREFIX/mingw-runtime/"
    fi
done

if [ "$TRIM" = 1 ]; then
    log "trimming $PREFIX"
    (
        cd "$PREFIX"
        rm -rf include/*/"$QT_VERSION" \
               include/QtFreetype include/QtHarfbuzz include/QtPng include/QtZlib \
               include/QtFbSupport include/QtDeviceDiscoverySupport \
               lib/libQt6Bundled*.a lib/libQt6FbSupport.a lib/libQt6DeviceDiscoverySupport.a \
               lib/metatypes lib/cmake/Qt6BuildInternals doc modules
        # A plugin must go together with its CMake package, or find_package(Qt6) fails.
        rm -f plugins/platforms/qminimal.dll lib/cmake/Qt6Gui/Qt6QMinimalIntegrationPlugin*.cmake
        # Qt6::Platform needs mkspecs/win32-g++ (qplatformdefs.h); the rest is for qmake.
        find mkspecs -mindepth 1 -maxdepth 1 ! -name win32-g++ -exec rm -rf {} +
        find bin -type f ! -name '*.dll' -delete
    )
fi

# --------------------------------------------------------------------------
# 6. Report / pack
# --------------------------------------------------------------------------
log "prefix: $(du -sh "$PREFIX" | cut -f1), $(find "$PREFIX" -type f | wc -l) files"
if [ "$PACK" = 1 ]; then
    tarball=$WORK/qt6-mingw64-$QT_VERSION.tar.xz
    $NICE tar -C "$(dirname "$PREFIX")" -cJf "$tarball" "$(basename "$PREFIX")"
    log "packed: $tarball ($(du -h "$tarball" | cut -f1))"
fi
cat "$LOGS/times.txt"
