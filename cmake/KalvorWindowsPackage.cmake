# The Windows zip:  cmake --build build-win --target package
# gives Kalvor-<version>-windows-x64.zip with one folder that holds both
# executables and everything they load beside them: the Qt DLLs and plugins,
# poppler and the image libraries for the pad's drawings, the MinGW runtime,
# Qt's Japanese translation, a note for the operator and the licences.

include(KalvorWindowsResources)

install(TARGETS Kalvor Kalvor080125 RUNTIME DESTINATION .)

set(_kalvor_qt ${KALVOR_QT_MINGW})
install(FILES ${_kalvor_qt}/bin/Qt6Core.dll ${_kalvor_qt}/bin/Qt6Gui.dll
              ${_kalvor_qt}/bin/Qt6Widgets.dll
        DESTINATION .)
# Qt looks for its plugins beside the executable too. The offscreen platform
# lets the package be started without a display (the smoke test does).
install(FILES ${_kalvor_qt}/plugins/platforms/qwindows.dll
              ${_kalvor_qt}/plugins/platforms/qoffscreen.dll
        DESTINATION platforms)
install(FILES ${_kalvor_qt}/plugins/styles/qwindowsvistastyle.dll DESTINATION styles)
install(FILES ${_kalvor_qt}/plugins/imageformats/qico.dll DESTINATION imageformats)
# The runtime of the POSIX-thread compiler the program was built with.
install(FILES ${_kalvor_qt}/mingw-runtime/libstdc++-6.dll
              ${_kalvor_qt}/mingw-runtime/libgcc_s_seh-1.dll
              ${_kalvor_qt}/mingw-runtime/libwinpthread-1.dll
        DESTINATION .)
unset(_kalvor_qt)

# Drawings on the pad: PDF through poppler (with FreeType, libjpeg and zlib),
# JPEG and TIFF through Qt's plugins (libtiff), PNG and BMP through Qt itself.
set(_kalvor_extras ${KALVOR_MINGW_EXTRAS})
install(FILES ${_kalvor_extras}/bin/libpoppler-qt6-3.dll ${_kalvor_extras}/bin/libpoppler-126.dll
              ${_kalvor_extras}/bin/libfreetype.dll ${_kalvor_extras}/bin/libjpeg-62.dll
              ${_kalvor_extras}/bin/libtiff.dll ${_kalvor_extras}/bin/zlib1.dll
        DESTINATION .)
install(FILES ${_kalvor_extras}/plugins/imageformats/qjpeg.dll
              ${_kalvor_extras}/plugins/imageformats/qtiff.dll
        DESTINATION imageformats)
# poppler's encodings: a PDF whose Japanese fonts are not embedded shows no
# text without them. poppler looks for them in share/poppler beside its DLL.
install(DIRECTORY ${_kalvor_extras}/share/poppler DESTINATION share)
# The libraries' own licences, beside the program's.
install(DIRECTORY ${_kalvor_extras}/share/licenses/ DESTINATION licenses)
unset(_kalvor_extras)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

# Qt's own texts (dialog buttons and the like) in Japanese; the .qm files are
# the same on every platform, so Debian's serve.
find_file(KALVOR_QTBASE_JA qtbase_ja.qm PATHS /usr/share/qt6/translations
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(KALVOR_QTBASE_JA)
  install(FILES ${KALVOR_QTBASE_JA} DESTINATION translations)
else()
  message(WARNING "qtbase_ja.qm not found (package qt6-translations-l10n): "
                  "the zip will show Qt's own texts in English")
endif()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/README-ja.txt DESTINATION .)

string(REPLACE "." ";" _kalvor_parts "${KALVOR_FULL_VERSION}")
list(GET _kalvor_parts 0 _kalvor_major)
list(GET _kalvor_parts 1 _kalvor_minor)
list(GET _kalvor_parts 2 _kalvor_revision)
kalvor_zero_pad(_kalvor_minor "${_kalvor_minor}" 2)
kalvor_zero_pad(_kalvor_revision "${_kalvor_revision}" 4)
set(KALVOR_WINDOWS_PACKAGE_VERSION "${_kalvor_major}.${_kalvor_minor}.${_kalvor_revision}")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Kalvor)
set(CPACK_PACKAGE_VENDOR Kalvor)
set(CPACK_PACKAGE_VERSION ${KALVOR_WINDOWS_PACKAGE_VERSION})
set(CPACK_PACKAGE_FILE_NAME Kalvor-${KALVOR_WINDOWS_PACKAGE_VERSION}-windows-x64)
set(CPACK_STRIP_FILES ON)
include(CPack)
