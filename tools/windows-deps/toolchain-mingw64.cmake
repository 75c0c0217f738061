# The toolchain the Windows dependencies (tools/build-windows-deps.sh) are
# built with: 64-bit Windows (x86_64-w64-mingw32) with Debian 12's MinGW-w64
# cross compilers of the POSIX thread model (std::thread works). Every entry
# of CMAKE_PREFIX_PATH is also added to CMAKE_FIND_ROOT_PATH, so that
# find_package()/find_library() see the Windows prefixes named, but never the
# build machine's own /usr/lib, /usr/include or /usr/lib/x86_64-linux-gnu/cmake.
# (The program itself is built with cmake/toolchain-mingw64.cmake.)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER   ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLE}-windres)
# Plain binutils are thread-model independent.
set(CMAKE_AR           /usr/bin/${MINGW_TRIPLE}-ar     CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB       /usr/bin/${MINGW_TRIPLE}-ranlib CACHE FILEPATH "Ranlib")

# Target headers/libraries live here; search only there (plus the given prefixes).
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
foreach(_qtwin_prefix IN LISTS CMAKE_PREFIX_PATH)
    list(APPEND CMAKE_FIND_ROOT_PATH "${_qtwin_prefix}")
endforeach()
unset(_qtwin_prefix)

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)   # host tools (moc, rcc, uic, ninja...)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Not set here on purpose: CMAKE_CROSSCOMPILING_EMULATOR. A project may pass
# -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/wine so that ctest runs the .exe tests
# under Wine (the Qt and MinGW DLLs must then be next to the .exe or on WINEPATH).
