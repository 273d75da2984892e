# Desktop integration and the Debian package: what `cmake --install` puts in place (program,
# desktop entry, icons, AppStream metadata, manual page) and what `cpack -G DEB` wraps up.
include(GNUInstallDirs)

set(REELSTAND_APP_ID org.reelstand.Reelstand)
# The project's own domain, the one its reverse-DNS application id names.
set(REELSTAND_MAINTAINER "Reelstand developers <developers@reelstand.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(_rs_pkg_src ${CMAKE_CURRENT_LIST_DIR})
set(_rs_pkg_out ${CMAKE_BINARY_DIR}/packaging)

install(FILES ${_rs_pkg_src}/${REELSTAND_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_rs_pkg_src}/${REELSTAND_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian ships manual pages compressed, without a time stamp in the gzip header.
add_custom_command(
    OUTPUT ${_rs_pkg_out}/reelstand.1.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${_rs_pkg_src}/reelstand.1 ${_rs_pkg_out}/reelstand.1
    COMMAND gzip -9nf ${_rs_pkg_out}/reelstand.1
    DEPENDS ${_rs_pkg_src}/reelstand.1
    VERBATIM)
install(FILES ${_rs_pkg_out}/reelstand.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Licence and history, where Debian looks for them (share/doc/reelstand).
add_custom_command(
    OUTPUT ${_rs_pkg_out}/changelog.Debian.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${_rs_pkg_src}/changelog ${_rs_pkg_out}/changelog.Debian
    COMMAND gzip -9nf ${_rs_pkg_out}/changelog.Debian
    DEPENDS ${_rs_pkg_src}/changelog
    VERBATIM)
install(FILES ${_rs_pkg_src}/copyright ${_rs_pkg_out}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${_rs_pkg_src}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME reelstand)

# The hicolor icons: drawn by the same run of the skin generator that draws the program icon
# (resources/), so both show the same artwork.
foreach(size IN LISTS REELSTAND_ICON_SIZES)
    install(FILES ${REELSTAND_SKIN_DIR}/icons/hicolor/${size}x${size}/reelstand.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${REELSTAND_APP_ID}.png)
endforeach()
add_custom_target(desktop_files ALL DEPENDS ${_rs_pkg_out}/reelstand.1.gz
                                            ${_rs_pkg_out}/changelog.Debian.gz)
add_dependencies(desktop_files skins)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME reelstand)
set(CPACK_PACKAGE_VENDOR "Reelstand developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player that loops short video scenes seamlessly")
# Lines of at most 79 characters with the leading space CPack adds.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Reelstand decodes every frame of a short video scene into memory and loops
the frames at one frame every 80 ms, so the loop has no seam and stepping is
exact in both directions. It has play/pause and step buttons, a position
slider and a frameless full-screen mode. It reads AVI, MP4/QuickTime and
Matroska/WebM files with any codec FFmpeg decodes. The user interface is in
German.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Version 0.1.0-1: the first package of upstream 0.1.0 (packaging/changelog's top entry).
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${REELSTAND_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not visible to dpkg-shlibdeps: Qt loads its display plugins at run time (libqt6gui6 only
# recommends them), the window's fonts are looked up by name, and Qt's own dialog texts come
# from the translation files. The Wayland plugin is only needed under QT_QPA_PLATFORM=wayland.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
