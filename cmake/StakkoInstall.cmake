# Where an installed Stakko lives (GNUInstallDirs), and its Debian package.
#   cmake --install build --prefix /usr/local
#   make package            (CPack, a .deb in build/)
include(GNUInstallDirs)

set(STAKKO_APP_ID org.example.stakko)
set(STAKKO_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS stakko RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${STAKKO_PACKAGING_DIR}/${STAKKO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${STAKKO_PACKAGING_DIR}/${STAKKO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The manual page in English, and in German where man finds it for a
# German locale.
install(FILES ${STAKKO_PACKAGING_DIR}/stakko.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${STAKKO_PACKAGING_DIR}/stakko.de.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man6
        RENAME stakko.6)
install(FILES ${STAKKO_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${STAKKO_APP_ID}.svg)
foreach(size IN LISTS STAKKO_ICON_SIZES)
    install(FILES ${STAKKO_ICON_DIR}/${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${STAKKO_APP_ID}.png)
endforeach()

# The Debian package. The libraries it needs follow from what the program
# links (dpkg-shlibdeps); Qt's plugins are loaded at run time, so the
# platform plugin is named here (sound goes through Qt Multimedia's own
# PulseAudio output, which comes with its library).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME stakko)
set(CPACK_PACKAGE_VENDOR "Vomb-Werkstatt")
# Each package's description begins with its own summary line: CPack would
# put one package summary in front of both.
set(CPACK_PACKAGE_DESCRIPTION "falling blocks puzzle
Pieces of four blocks fall into a well nine columns wide;
full lines disappear and score points. With preview, statistics, high
score, sounds and help in the window; in English and German.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Stakko-Werkstatt <stakko@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.org/stakko/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Two packages: the game (every install without a component) and the
# common library for other programs (cmake/QzCommonInstall.cmake).
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified qzcommon-dev)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME stakko)
set(CPACK_DEBIAN_UNSPECIFIED_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_DEPENDS "qt6-qpa-plugins")
# qt6-wayland lets the game run natively in a Wayland session; without it
# Qt falls back to X11 through Xwayland.
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_RECOMMENDS "fonts-liberation2, qt6-wayland")
set(CPACK_DEBIAN_QZCOMMON-DEV_PACKAGE_NAME libqzcommon-dev)
set(CPACK_DEBIAN_QZCOMMON-DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_QZCOMMON-DEV_PACKAGE_DEPENDS "qt6-base-dev, zlib1g-dev, libdeflate-dev")
set(CPACK_DEBIAN_QZCOMMON-DEV_PACKAGE_SUGGESTS "qt6-multimedia-dev")
set(CPACK_DEBIAN_QZCOMMON-DEV_DESCRIPTION "common library of the Stakko makers
INI settings files with encoding detection, text encodings and text-file
reading (Qt Core), with message boxes, an About box and system facts (Qt
Widgets, Qt Multimedia): headers, static libraries, the CMake package
QzCommon and the pkg-config file qzcommon.")
include(CPack)
