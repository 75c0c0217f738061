# Installation and the Debian package of both editions:
#   cmake --build build --target package   ->  build/kalvor_VERSION_ARCH.deb
# The package takes the executables as built (no second compile) and strips
# them. Installed in /usr/bin, the program cannot write beside itself and
# keeps its settings, autosave and run marker in the operator's
# ~/.local/share/<executable name>.

include(GNUInstallDirs)

install(TARGETS Kalvor Kalvor080125 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# One menu entry per edition; both show the program icon from the icon theme.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kalvor.desktop
              ${PROJECT_SOURCE_DIR}/packaging/kalvor080125.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/kalvor.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/kalvor.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The licence: GPL-3.0-or-later (the PDF library, poppler, is GPL), as
# Debian keeps it for every package.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kalvor)

# The tablet access rule. udev reads /usr/lib/udev/rules.d on Debian 12 both
# with a merged /usr and without one; relative to the prefix it also installs
# into a scratch prefix without root.
set(KALVOR_UDEV_RULES_DIR lib/udev/rules.d CACHE STRING
    "Where the tablet access rule is installed (relative: under the prefix)")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/70-kalvor-tablet.rules
        DESTINATION ${KALVOR_UDEV_RULES_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalvor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kalvor maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measuring tool for digitizer tablets")
# Lines of the long description as dpkg shows them (at most 80 columns).
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kalvor turns points picked or traced with a tablet pen into real lengths\n"
    "through a scale and measures two-point distances, polygon and traced\n"
    "areas, polyline and traced lengths and coordinates. Every result lands in\n"
    "a grid that is autosaved, recovered after a crash, saved as CSV and\n"
    "exchanged with a spreadsheet through the clipboard. The user interface is\n"
    "Japanese. Without a tablet, an on-screen pad takes the pen or the mouse,\n"
    "over a PDF drawing or a scan if one is opened there. The package holds\n"
    "the full edition Kalvor and the reduced edition Kalvor080125, their menu\n"
    "entries and a udev rule that lets the operator logged in at the seat\n"
    "read tablets.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER
    "Seed b620dd26 maintainers <maintainers@users.noreply.c-seed-b620dd26.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# What the program needs at run time beyond the libraries it links: the
# multimedia back ends for the capture sound, Qt's Japanese translations, the
# tablet library, a Japanese font for the captions and Qt's image plugins
# (TIFF scans on the pad). dpkg-shlibdeps adds the linked libraries (poppler
# among them) with their versions.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6, libqt6multimedia6, qt6-translations-l10n, libevdev2, fonts-ipafont-gothic, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
