# Cross-builds for 64-bit Windows with Debian's MinGW-w64 compilers of the
# POSIX thread model (the win32 model has no std::thread), against a Qt built
# for MinGW. The Qt prefix comes from the environment variable KALVOR_QT_MINGW,
# else ../shared/qt6-mingw64 beside the project root when it exists; the
# libraries the drawings on the pad need (poppler's Qt 6 frontend, FreeType,
# libjpeg, libtiff, zlib and Qt's JPEG and TIFF plugins, built for the same
# compiler) from KALVOR_MINGW_EXTRAS, else ../shared/mingw-extras.
#
#   cmake --preset windows      (see CMakePresets.json)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KALVOR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KALVOR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KALVOR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KALVOR_MINGW_TRIPLE}-windres)
# The binutils do not depend on the thread model.
set(CMAKE_AR /usr/bin/${KALVOR_MINGW_TRIPLE}-ar CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB /usr/bin/${KALVOR_MINGW_TRIPLE}-ranlib CACHE FILEPATH "Ranlib")
set(CMAKE_STRIP /usr/bin/${KALVOR_MINGW_TRIPLE}-strip CACHE FILEPATH "Strip")

# The toolchain file is read again for every try_compile: remember the prefix
# the first time so that all of them agree.
if(NOT KALVOR_QT_MINGW)
  if(DEFINED ENV{KALVOR_QT_MINGW} AND NOT "$ENV{KALVOR_QT_MINGW}" STREQUAL "")
    set(KALVOR_QT_MINGW "$ENV{KALVOR_QT_MINGW}")
  elseif(EXISTS "${CMAKE_CURRENT_LIST_DIR}/../../shared/qt6-mingw64/lib/cmake/Qt6")
    get_filename_component(KALVOR_QT_MINGW "${CMAKE_CURRENT_LIST_DIR}/../../shared/qt6-mingw64"
                           ABSOLUTE)
  endif()
endif()
if(NOT KALVOR_QT_MINGW OR NOT EXISTS "${KALVOR_QT_MINGW}/lib/cmake/Qt6")
  message(FATAL_ERROR "No Qt for MinGW: set KALVOR_QT_MINGW to its prefix")
endif()
set(KALVOR_QT_MINGW "${KALVOR_QT_MINGW}" CACHE PATH "Qt built for MinGW-w64")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KALVOR_QT_MINGW)

if(NOT KALVOR_MINGW_EXTRAS)
  if(DEFINED ENV{KALVOR_MINGW_EXTRAS} AND NOT "$ENV{KALVOR_MINGW_EXTRAS}" STREQUAL "")
    set(KALVOR_MINGW_EXTRAS "$ENV{KALVOR_MINGW_EXTRAS}")
  elseif(EXISTS "${CMAKE_CURRENT_LIST_DIR}/../../shared/mingw-extras/lib/cmake/PopplerQt6")
    get_filename_component(KALVOR_MINGW_EXTRAS "${CMAKE_CURRENT_LIST_DIR}/../../shared/mingw-extras"
                           ABSOLUTE)
  endif()
endif()
if(NOT KALVOR_MINGW_EXTRAS OR NOT EXISTS "${KALVOR_MINGW_EXTRAS}/lib/cmake/PopplerQt6")
  message(FATAL_ERROR "No poppler-qt6 for MinGW: set KALVOR_MINGW_EXTRAS to its prefix")
endif()
set(KALVOR_MINGW_EXTRAS "${KALVOR_MINGW_EXTRAS}" CACHE PATH
    "poppler-qt6, its libraries and Qt's JPEG and TIFF plugins built for MinGW-w64")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KALVOR_MINGW_EXTRAS)

list(APPEND CMAKE_PREFIX_PATH "${KALVOR_QT_MINGW}" "${KALVOR_MINGW_EXTRAS}")
# Debian's own Qt of the same version runs moc, rcc and uic on the build machine.
set(QT_HOST_PATH /usr CACHE PATH "Qt for the build machine")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Its CMake packages")

# Headers, libraries and packages for the target only from the MinGW sysroot
# and the Qt prefix, never from the build machine's /usr; programs from the
# build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KALVOR_MINGW_TRIPLE} "${KALVOR_QT_MINGW}" "${KALVOR_MINGW_EXTRAS}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
