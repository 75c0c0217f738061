#!/bin/bash
# The extras the Windows edition's drawings need, cross-built on Debian 12 for
# x86_64-w64-mingw32 (POSIX threads) from Debian 12's own source packages into
# one prefix, for a program built against the Qt of build-qt.sh: poppler's
# Qt 6 frontend for PDF pages, and the Qt image plugins for JPEG and TIFF.
# Called by tools/build-windows-deps.sh; about 4 minutes on 2 cores.
#
#   zlib 1.2.13 (Debian's libz-mingw-w64-dev: zlib1.dll copied), libjpeg-turbo 2.1.5,
#   FreeType 2.12.1, libtiff 4.5.0, poppler 22.12.0 (core + qt6), qjpeg from qt6-base 6.4.2,
#   qtiff from qt6-imageformats 6.4.2, poppler-data 0.4.12 (CMaps for non-embedded CJK fonts).
#
# Usage (as root, for apt-get; or with SKIP_APT=1 and everything installed):
#   QT_DIR=/path/to/qt6-mingw64 ./build-extras.sh
# Environment knobs (defaults in brackets):
#   QT_DIR             the MinGW Qt 6.4.2 prefix (must contain lib/cmake/Qt6) [$KALVOR_QT_MINGW]
#   WORK               work directory: src/, build/, logs/ [$TMPDIR/mingw-extras]
#   PREFIX             install prefix; deleted and recreated [$WORK/prefix]
#   JOBS               parallel compile jobs [2]
#   NICE               command prefix for the heavy steps ["nice -n 10"]
#   WITH_TIFF          1 = build libtiff + qtiff.dll [1]
#   WITH_POPPLER_DATA  1 = install poppler-data into $PREFIX/share/poppler [1]
#   JPX_DECODER        poppler's JPEG 2000 decoder: unmaintained (poppler's internal one) | none [unmaintained]
#   SKIP_APT           1 = install no packages and do not touch apt's sources [0]
#   KEEP_SRC           1 = reuse sources already unpacked in $WORK/src [1]
#   QTBASE_SRC         an unpacked qt6-base source tree to take the jpeg plugin from (skips the 46 MB download)
# The *_DEB variables pin the Debian source versions that were validated; if a pinned version is
# no longer on the mirror, the current bookworm version is fetched instead (with a warning).
set -euo pipefail

SCRIPT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
QT_DIR=${QT_DIR:-${KALVOR_QT_MINGW:-}}
WORK=${WORK:-${TMPDIR:-/tmp}/kalvor-mingw-extras}
PREFIX=${PREFIX:-$WORK/prefix}
SRC=$WORK/src
BUILD=$WORK/build
LOGS=$WORK/logs
JOBS=${JOBS:-2}
NICE=${NICE:-nice -n 10}
WITH_TIFF=${WITH_TIFF:-1}
WITH_POPPLER_DATA=${WITH_POPPLER_DATA:-1}
JPX_DECODER=${JPX_DECODER:-unmaintained}
SKIP_APT=${SKIP_APT:-0}
KEEP_SRC=${KEEP_SRC:-1}
QTBASE_SRC=${QTBASE_SRC:-}

FREETYPE_DEB=${FREETYPE_DEB:-2.12.1+dfsg-5+deb12u4}
LIBJPEG_TURBO_DEB=${LIBJPEG_TURBO_DEB:-1:2.1.5-2}
TIFF_DEB=${TIFF_DEB:-4.5.0-6+deb12u4}
POPPLER_DEB=${POPPLER_DEB:-22.12.0-2+deb12u3}
QTBASE_DEB=${QTBASE_DEB:-6.4.2+dfsg-10}
QTIMAGEFORMATS_DEB=${QTIMAGEFORMATS_DEB:-6.4.2-1}

TRIPLE=x86_64-w64-mingw32
HOST_QT_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
TOOLCHAIN=$WORK/toolchain-mingw64.cmake

log()  { printf '\n=== %s: %s\n' "$(date +%T)" "$*"; }
warn() { printf 'WARNING: %s\n' "$*" >&2; }
die()  { printf 'ERROR: %s\n' "$*" >&2; exit 1; }
. "$SCRIPT_DIR/deb-src.sh"

case "$JPX_DECODER" in unmaintained|none) ;; *) die "JPX_DECODER must be unmaintained or none";; esac
[ -d "$QT_DIR/lib/cmake/Qt6" ] || die "no Qt at QT_DIR=$QT_DIR (lib/cmake/Qt6 missing)"
case "$PREFIX" in /|/usr|/usr/*|"$QT_DIR"|"$QT_DIR"/*) die "refusing PREFIX=$PREFIX (it is deleted and recreated)";; esac
mkdir -p "$WORK" "$SRC" "$BUILD" "$LOGS"
T_START=$(date +%s)
: > "$LOGS/times.txt"

# ---------------------------------------------------------------------------
# 1. Packages (Debian 12) and deb-src
# ---------------------------------------------------------------------------
if [ "$SKIP_APT" != 1 ]; then
    [ "$(id -u)" = 0 ] || die "apt steps need root (or run with SKIP_APT=1)"
    if add_deb_src; then NEED_UPDATE=1; fi
    # (no "grep -q" after a pipe anywhere here: with pipefail, grep -q's early exit can make
    #  the writer die of SIGPIPE and turn a match into a pipeline failure)
    if [ "${NEED_UPDATE:-0}" = 1 ] || ! apt-cache showsrc poppler 2>/dev/null | grep '^Package:' > /dev/null; then
        log "apt-get update"
        apt-get update > "$LOGS/apt-update.log" 2>&1 || { tail -20 "$LOGS/apt-update.log"; die "apt-get update failed"; }
    fi
    # Name only missing packages: naming installed ones would upgrade them.
    missing=()
    for pkg in g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
               mingw-w64-x86-64-dev libz-mingw-w64-dev qt6-base-dev qt6-base-dev-tools \
               cmake ninja-build nasm dpkg-dev xz-utils bzip2; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep 'install ok installed' > /dev/null || missing+=("$pkg")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        log "apt-get install ${missing[*]}"
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-upgrade --no-install-recommends \
            "${missing[@]}" > "$LOGS/apt-install.log" 2>&1 \
            || { tail -20 "$LOGS/apt-install.log"; die "apt-get install failed"; }
    fi
fi
for tool in $TRIPLE-gcc-posix $TRIPLE-g++-posix $TRIPLE-windres $TRIPLE-strip cmake ninja nasm dpkg-source; do
    command -v "$tool" > /dev/null || die "missing tool: $tool"
done
[ -x /usr/lib/qt6/libexec/moc ] || die "host moc missing (qt6-base-dev-tools)"
[ -f /usr/$TRIPLE/lib/zlib1.dll ] || die "zlib for MinGW missing (libz-mingw-w64-dev)"
host_qt=$(sed -n 's/.*PACKAGE_VERSION "\([0-9.]*\)".*/\1/p' "$HOST_QT_CMAKE_DIR/Qt6Core/Qt6CoreConfigVersionImpl.cmake" | head -1)
target_qt=$(sed -n 's/.*PACKAGE_VERSION "\([0-9.]*\)".*/\1/p' "$QT_DIR/lib/cmake/Qt6Core/Qt6CoreConfigVersionImpl.cmake" | head -1)
[ "$host_qt" = "$target_qt" ] || die "host Qt tools are $host_qt, target Qt is $target_qt (moc must match)"

# ---------------------------------------------------------------------------
# 2. Toolchain file: the one beside this script, as for the Qt build
# ---------------------------------------------------------------------------
cp "$SCRIPT_DIR/toolchain-mingw64.cmake" "$TOOLCHAIN"

# Keep the build machine's .pc files (e.g. Debian's poppler-data.pc) out of the cross builds.
export PKG_CONFIG_LIBDIR=$PREFIX/lib/pkgconfig
export PKG_CONFIG_PATH=

# ---------------------------------------------------------------------------
# 3. Sources (apt-get source; Debian's patches are applied by dpkg-source)
# ---------------------------------------------------------------------------
# fetch_src <source package> <pinned version> <directory it unpacks to> [--download-only]
fetch_src() {
    local pkg=$1 ver=$2 dir=$3; shift 3
    if [ "$KEEP_SRC" = 1 ] && [ -z "$*" ] && [ -d "$SRC/$dir" ]; then
        echo "reusing $SRC/$dir"; return 0
    fi
    [ -z "$*" ] && rm -rf "${SRC:?}/$dir"
    log "apt-get source $* $pkg=$ver"
    if ! ( cd "$SRC" && apt-get source "$@" "$pkg=$ver" ) >> "$LOGS/sources.log" 2>&1; then
        warn "$pkg=$ver could not be fetched (see $LOGS/sources.log); trying the current bookworm version"
        ( cd "$SRC" && apt-get source "$@" "$pkg" ) >> "$LOGS/sources.log" 2>&1 \
            || die "apt-get source $pkg failed (is there a deb-src entry? see $LOGS/sources.log)"
    fi
    [ -n "$*" ] || [ -d "$SRC/$dir" ] || die "apt-get source $pkg did not produce $SRC/$dir"
}

fetch_src libjpeg-turbo "$LIBJPEG_TURBO_DEB" libjpeg-turbo-2.1.5
fetch_src freetype "$FREETYPE_DEB" freetype-2.12.1+dfsg
fetch_src poppler "$POPPLER_DEB" poppler-22.12.0
if [ "$WITH_TIFF" = 1 ]; then
    fetch_src tiff "$TIFF_DEB" tiff-4.5.0
    fetch_src qt6-imageformats "$QTIMAGEFORMATS_DEB" qt6-imageformats-6.4.2
fi

# The jpeg plugin's four files come from qt6-base: take them from an unpacked tree if given,
# else from the orig tarball (no full unpack of the 46 MB source).
JPEG_PLUGIN_SRC=$SRC/qtbase-jpeg/src/plugins/imageformats/jpeg
if [ -n "$QTBASE_SRC" ] && [ -f "$QTBASE_SRC/src/plugins/imageformats/jpeg/qjpeghandler.cpp" ]; then
    JPEG_PLUGIN_SRC=$QTBASE_SRC/src/plugins/imageformats/jpeg
elif [ "$KEEP_SRC" != 1 ] || [ ! -f "$JPEG_PLUGIN_SRC/qjpeghandler.cpp" ]; then
    fetch_src qt6-base "$QTBASE_DEB" unused --download-only
    orig=$(ls "$SRC"/qt6-base_*.orig.tar.xz | tail -1)
    deb=$(ls "$SRC"/qt6-base_*.debian.tar.xz | tail -1)
    # Refuse to use the pristine files if a Debian patch touches the plugin.
    if tar -xJOf "$deb" --wildcards 'debian/patches/*' | grep 'src/plugins/imageformats/jpeg/' > /dev/null; then
        die "a Debian patch in $deb touches the jpeg plugin: unpack qt6-base with dpkg-source and pass QTBASE_SRC"
    fi
    rm -rf "$SRC/qtbase-jpeg"
    mkdir -p "$SRC/qtbase-jpeg"
    tar -xJf "$orig" -C "$SRC/qtbase-jpeg" --strip-components=1 --wildcards \
        '*/src/plugins/imageformats/jpeg/*' '*/LICENSES/*'
    tar -xJf "$deb" -C "$SRC/qtbase-jpeg" debian/copyright
fi
[ -f "$JPEG_PLUGIN_SRC/qjpeghandler.cpp" ] || die "jpeg plugin sources missing at $JPEG_PLUGIN_SRC"

if [ "$WITH_POPPLER_DATA" = 1 ] && ! ls "$SRC"/poppler-data_*.deb > /dev/null 2>&1; then
    log "apt-get download poppler-data"
    ( cd "$SRC" && apt-get download poppler-data ) >> "$LOGS/sources.log" 2>&1 || die "apt-get download poppler-data failed"
fi

# ---------------------------------------------------------------------------
# 4. Builds
# ---------------------------------------------------------------------------
log "fresh prefix $PREFIX"
rm -rf "$PREFIX"
mkdir -p "$PREFIX/bin"

# cmake_build <name> <source dir> <cmake -D options...>
cmake_build() {
    local name=$1 src=$2 t0; shift 2
    t0=$(date +%s)
    rm -rf "${BUILD:?}/$name"
    log "$name: configure (logs: $LOGS/$name-*.log)"
    $NICE cmake -G Ninja -S "$src" -B "$BUILD/$name" \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" "$@" > "$LOGS/$name-configure.log" 2>&1 \
        || { tail -n 40 "$LOGS/$name-configure.log"; die "$name: configure failed"; }
    log "$name: build"
    $NICE cmake --build "$BUILD/$name" --parallel "$JOBS" > "$LOGS/$name-build.log" 2>&1 \
        || { grep -A 20 FAILED "$LOGS/$name-build.log" | head -n 60; die "$name: build failed"; }
    cmake --install "$BUILD/$name" --strip > "$LOGS/$name-install.log" 2>&1 \
        || { tail -n 20 "$LOGS/$name-install.log"; die "$name: install failed"; }
    echo "$name: $(( $(date +%s) - t0 )) s" | tee -a "$LOGS/times.txt"
}

# zlib: Debian's MinGW build (import library libz.dll.a -> zlib1.dll, already stripped).
cp /usr/$TRIPLE/lib/zlib1.dll "$PREFIX/bin/"

# libjpeg-turbo: libjpeg-62.dll (jpeg6b ABI, as Debian's libjpeg62-turbo), SIMD via nasm.
cmake_build libjpeg-turbo "$SRC/libjpeg-turbo-2.1.5" \
    -DCMAKE_PREFIX_PATH="$PREFIX" \
    -DENABLE_SHARED=ON -DENABLE_STATIC=OFF -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF \
    -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm

# FreeType: only zlib (compressed fonts); no png/bzip2/brotli/harfbuzz.
cmake_build freetype "$SRC/freetype-2.12.1+dfsg" \
    -DCMAKE_PREFIX_PATH="$PREFIX" -DBUILD_SHARED_LIBS=ON \
    -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON

if [ "$WITH_TIFF" = 1 ]; then
    # libtiff: zlib (Deflate, PixarLog) + libjpeg (JPEG, old-JPEG); no other codecs, no tools.
    cmake_build tiff "$SRC/tiff-4.5.0" \
        -DCMAKE_PREFIX_PATH="$PREFIX" -DBUILD_SHARED_LIBS=ON \
        -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dcxx=OFF \
        -Dzlib=ON -Djpeg=ON -Dold-jpeg=ON -Djpeg12=OFF -Dlibdeflate=OFF -Djbig=OFF \
        -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dtiff-opengl=OFF
fi

# poppler: core + Qt 6 frontend only; Splash backend, win32 font configuration.
cmake_build poppler "$SRC/poppler-22.12.0" \
    -DCMAKE_PREFIX_PATH="$PREFIX;$QT_DIR" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$HOST_QT_CMAKE_DIR" \
    -DBUILD_SHARED_LIBS=ON -DFONT_CONFIGURATION=win32 -DENABLE_RELOCATABLE=ON \
    -DENABLE_QT6=ON -DENABLE_QT5=OFF -DENABLE_GLIB=OFF -DENABLE_GOBJECT_INTROSPECTION=OFF \
    -DENABLE_CPP=OFF -DENABLE_UTILS=OFF -DENABLE_BOOST=OFF -DENABLE_LIBCURL=OFF \
    -DENABLE_CMS=none -DENABLE_LIBOPENJPEG="$JPX_DECODER" -DENABLE_DCTDECODER=libjpeg \
    -DENABLE_ZLIB=ON -DWITH_NSS3=OFF -DWITH_Cairo=OFF -DWITH_PNG=OFF -DWITH_TIFF=OFF \
    -DBUILD_GTK_TESTS=OFF -DBUILD_QT5_TESTS=OFF -DBUILD_QT6_TESTS=OFF -DBUILD_CPP_TESTS=OFF \
    -DBUILD_MANUAL_TESTS=OFF -DRUN_GPERF_IF_PRESENT=OFF -DCMAKE_DISABLE_FIND_PACKAGE_ECM=ON
grep -q '  qt6 wrapper:          yes' "$LOGS/poppler-configure.log" || die "poppler: Qt 6 frontend not enabled (see $LOGS/poppler-configure.log)"

# Qt image-format plugins, built from Qt's own handler sources as a small standalone project.
PLUGIN_PROJECT=$WORK/qt-imageformat-plugins
mkdir -p "$PLUGIN_PROJECT"
cat > "$PLUGIN_PROJECT/CMakeLists.txt" <<'EOF'
# Qt 6 image-format plugins built out of Qt's own, unmodified handler sources, as a
# standalone project against an installed Qt: qjpeg (qtbase/src/plugins/imageformats/jpeg)
# and qtiff (qtimageformats/src/plugins/imageformats/tiff). Only the build description
# differs from Qt's (public qt_add_plugin instead of the internal qt_internal_add_plugin).
cmake_minimum_required(VERSION 3.16)
project(qt_extra_imageformats LANGUAGES CXX)
set(CMAKE_AUTOMOC ON)
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(QTBASE_JPEG_SRC "" CACHE PATH "qtbase/src/plugins/imageformats/jpeg (empty: skip)")
set(QTIMAGEFORMATS_TIFF_SRC "" CACHE PATH "qtimageformats/src/plugins/imageformats/tiff (empty: skip)")
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui)

if(QTBASE_JPEG_SRC)
    find_package(JPEG REQUIRED)
    qt_add_plugin(QJpegPlugin SHARED CLASS_NAME QJpegPlugin PLUGIN_TYPE imageformats)
    target_sources(QJpegPlugin PRIVATE "${QTBASE_JPEG_SRC}/main.cpp"
        "${QTBASE_JPEG_SRC}/qjpeghandler.cpp" "${QTBASE_JPEG_SRC}/qjpeghandler_p.h")
    target_include_directories(QJpegPlugin PRIVATE "${QTBASE_JPEG_SRC}")
    # qjpeghandler.cpp uses private Qt headers (qsimd_p.h, qimage_p.h, qicc_p.h).
    target_link_libraries(QJpegPlugin PRIVATE
        Qt6::Core Qt6::CorePrivate Qt6::Gui Qt6::GuiPrivate JPEG::JPEG)
    set_target_properties(QJpegPlugin PROPERTIES OUTPUT_NAME qjpeg PREFIX "")
    install(TARGETS QJpegPlugin LIBRARY DESTINATION plugins/imageformats
                                RUNTIME DESTINATION plugins/imageformats)
endif()

if(QTIMAGEFORMATS_TIFF_SRC)
    find_package(TIFF REQUIRED)
    qt_add_plugin(QTiffPlugin SHARED CLASS_NAME QTiffPlugin PLUGIN_TYPE imageformats)
    target_sources(QTiffPlugin PRIVATE "${QTIMAGEFORMATS_TIFF_SRC}/main.cpp"
        "${QTIMAGEFORMATS_TIFF_SRC}/qtiffhandler.cpp" "${QTIMAGEFORMATS_TIFF_SRC}/qtiffhandler_p.h")
    target_include_directories(QTiffPlugin PRIVATE "${QTIMAGEFORMATS_TIFF_SRC}")
    target_link_libraries(QTiffPlugin PRIVATE Qt6::Core Qt6::Gui TIFF::TIFF)
    set_target_properties(QTiffPlugin PROPERTIES OUTPUT_NAME qtiff PREFIX "")
    install(TARGETS QTiffPlugin LIBRARY DESTINATION plugins/imageformats
                                RUNTIME DESTINATION plugins/imageformats)
endif()
EOF
tiff_plugin_src=""
[ "$WITH_TIFF" = 1 ] && tiff_plugin_src=$SRC/qt6-imageformats-6.4.2/src/plugins/imageformats/tiff
cmake_build qt-imageformat-plugins "$PLUGIN_PROJECT" \
    -DCMAKE_PREFIX_PATH="$PREFIX;$QT_DIR" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$HOST_QT_CMAKE_DIR" \
    -DQTBASE_JPEG_SRC="$JPEG_PLUGIN_SRC" -DQTIMAGEFORMATS_TIFF_SRC="$tiff_plugin_src"

# ---------------------------------------------------------------------------
# 5. Finishing touches
# ---------------------------------------------------------------------------
log "finishing $PREFIX"
# libjpeg-turbo always builds and installs its command-line tools and docs: not needed.
rm -f "$PREFIX"/bin/{cjpeg,djpeg,jpegtran,rdjpgcom,wrjpgcom}.exe
rm -rf "$PREFIX/share/man" "$PREFIX/share/doc"

# A CMake package for poppler-qt6 (poppler itself installs only pkg-config files).
qt6dll=$(cd "$PREFIX/bin" && ls libpoppler-qt6-*.dll | head -1)
mkdir -p "$PREFIX/lib/cmake/PopplerQt6"
cat > "$PREFIX/lib/cmake/PopplerQt6/PopplerQt6Config.cmake" <<EOF
# Imported target Poppler::Qt6 for the MinGW-w64 poppler-qt6 in this prefix.
#   find_package(PopplerQt6 REQUIRED CONFIG)
#   target_link_libraries(app PRIVATE Poppler::Qt6)     # #include <poppler-qt6.h>
get_filename_component(_popplerqt6_prefix "\${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
include(CMakeFindDependencyMacro)
find_dependency(Qt6 COMPONENTS Core Gui)
if(NOT TARGET Poppler::Qt6)
    add_library(Poppler::Qt6 SHARED IMPORTED)
    set_target_properties(Poppler::Qt6 PROPERTIES
        IMPORTED_IMPLIB "\${_popplerqt6_prefix}/lib/libpoppler-qt6.dll.a"
        IMPORTED_LOCATION "\${_popplerqt6_prefix}/bin/$qt6dll"
        INTERFACE_INCLUDE_DIRECTORIES "\${_popplerqt6_prefix}/include/poppler/qt6"
        INTERFACE_LINK_LIBRARIES "Qt6::Core;Qt6::Gui")
endif()
set(PopplerQt6_VERSION 22.12.0)
unset(_popplerqt6_prefix)
EOF
cat > "$PREFIX/lib/cmake/PopplerQt6/PopplerQt6ConfigVersion.cmake" <<'EOF'
set(PACKAGE_VERSION 22.12.0)
if(PACKAGE_FIND_VERSION AND PACKAGE_FIND_VERSION VERSION_GREATER PACKAGE_VERSION)
    set(PACKAGE_VERSION_COMPATIBLE FALSE)
else()
    set(PACKAGE_VERSION_COMPATIBLE TRUE)
    if(PACKAGE_FIND_VERSION STREQUAL PACKAGE_VERSION)
        set(PACKAGE_VERSION_EXACT TRUE)
    endif()
endif()
EOF

# poppler-data: CMaps / CID-to-Unicode tables, needed for PDFs with non-embedded CJK fonts.
# poppler (ENABLE_RELOCATABLE) looks for <dir of libpoppler DLL>\share\poppler, or
# <parent>\share\poppler when that dir is called "bin".
if [ "$WITH_POPPLER_DATA" = 1 ]; then
    rm -rf "$SRC/poppler-data-deb"
    dpkg-deb -x "$(ls "$SRC"/poppler-data_*.deb | tail -1)" "$SRC/poppler-data-deb"
    mkdir -p "$PREFIX/share"
    cp -r "$SRC/poppler-data-deb/usr/share/poppler" "$PREFIX/share/poppler"
fi

# Licences: Debian's copyright files (complete per-file licensing) + upstream texts.
L=$PREFIX/share/licenses
mkdir -p "$L"/{zlib,libjpeg-turbo,freetype,poppler,qjpeg}
cp /usr/share/doc/libz-mingw-w64-dev/copyright "$L/zlib/copyright"
cp "$SRC/libjpeg-turbo-2.1.5/debian/copyright" "$SRC/libjpeg-turbo-2.1.5/LICENSE.md" \
   "$SRC/libjpeg-turbo-2.1.5/README.ijg" "$L/libjpeg-turbo/"
cp "$SRC/freetype-2.12.1+dfsg/debian/copyright" "$SRC/freetype-2.12.1+dfsg/LICENSE.TXT" \
   "$SRC/freetype-2.12.1+dfsg/docs/FTL.TXT" "$SRC/freetype-2.12.1+dfsg/docs/GPLv2.TXT" "$L/freetype/"
cp "$SRC/poppler-22.12.0/debian/copyright" "$SRC/poppler-22.12.0/COPYING" "$L/poppler/"
QT_LICENSES="LGPL-3.0-only.txt GPL-2.0-only.txt GPL-3.0-only.txt Qt-GPL-exception-1.0.txt"
for f in debian/copyright $(printf 'LICENSES/%s ' $QT_LICENSES); do
    [ -f "$SRC/qtbase-jpeg/$f" ] && cp "$SRC/qtbase-jpeg/$f" "$L/qjpeg/"
done
echo "qjpeg.dll: built from qtbase 6.4.2 src/plugins/imageformats/jpeg (LGPL-3.0-only OR GPL-2.0-only OR GPL-3.0-only)" \
    > "$L/qjpeg/README"
if [ "$WITH_TIFF" = 1 ]; then
    mkdir -p "$L"/{libtiff,qtiff}
    cp "$SRC/tiff-4.5.0/debian/copyright" "$SRC/tiff-4.5.0/LICENSE.md" "$L/libtiff/"
    cp "$SRC/qt6-imageformats-6.4.2/debian/copyright" "$L/qtiff/"
    for f in $QT_LICENSES; do
        [ -f "$SRC/qt6-imageformats-6.4.2/LICENSES/$f" ] && cp "$SRC/qt6-imageformats-6.4.2/LICENSES/$f" "$L/qtiff/"
    done
fi
if [ "$WITH_POPPLER_DATA" = 1 ]; then
    mkdir -p "$L/poppler-data"
    cp "$SRC/poppler-data-deb/usr/share/doc/poppler-data/copyright" "$L/poppler-data/"
fi
cp "$TOOLCHAIN" "$PREFIX/toolchain-mingw64.cmake"

# Sanity: every DLL's imports are either in the prefix, the Qt/MinGW runtime set, or Windows.
log "checking DLL imports"
known=" $(cd "$PREFIX/bin" && ls *.dll | tr '\n' ' ') Qt6Core.dll Qt6Gui.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll "
bad=0
for dll in "$PREFIX"/bin/*.dll "$PREFIX"/plugins/imageformats/*.dll; do
    for imp in $($TRIPLE-objdump -p "$dll" | sed -n 's/^\s*DLL Name: //p'); do
        case "$imp" in
            KERNEL32.dll|msvcrt.dll|ADVAPI32.dll|SHELL32.dll|USER32.dll|GDI32.dll) ;;
            *) [[ "$known" == *" $imp "* ]] || { echo "  $(basename "$dll") imports unknown $imp"; bad=1; } ;;
        esac
    done
done
[ "$bad" = 0 ] || die "unexpected DLL dependencies (see above)"

# What an application folder needs from this prefix (besides Qt and the MinGW runtime).
{
    echo "Files to copy next to the application's .exe (built $(date -u +%F) by tools/windows-deps/build-extras.sh):"
    ( cd "$PREFIX" && find bin -name '*.dll' -printf '  %f\n' | sort )
    ( cd "$PREFIX" && find plugins -name '*.dll' -printf '  %p\n' | sort )
    [ "$WITH_POPPLER_DATA" = 1 ] && echo "  share/poppler/   (only needed for PDFs with non-embedded CJK fonts)"
    echo "From the Qt prefix: Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll, plugins/platforms/qwindows.dll,"
    echo "  plugins/styles/qwindowsvistastyle.dll, mingw-runtime/{libstdc++-6,libgcc_s_seh-1,libwinpthread-1}.dll"
    echo "Licences: share/licenses/ (poppler is GPL-2.0 or GPL-3.0: the application must be GPL-compatible)."
} > "$PREFIX/README-deploy.txt"

# ---------------------------------------------------------------------------
# 6. Summary
# ---------------------------------------------------------------------------
T_END=$(date +%s)
echo "total: $(( T_END - T_START )) s" | tee -a "$LOGS/times.txt"
log "DLLs to ship beside the executable (sizes in bytes):"
( cd "$PREFIX" && find bin plugins -name '*.dll' -printf '  %-40p %10s\n' | sort )
[ "$WITH_POPPLER_DATA" = 1 ] && echo "  share/poppler/ ($(du -sh "$PREFIX/share/poppler" | cut -f1), for non-embedded CJK fonts)"
echo "prefix: $PREFIX ($(du -sh "$PREFIX" | cut -f1))"
