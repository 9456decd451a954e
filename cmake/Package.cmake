# The Debian package: `cpack -G DEB` in the build folder writes vlfonts_<version>_<arch>.deb,
# with everything under /usr and its dependencies computed by dpkg-shlibdeps.
include(GNUInstallDirs)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vlfonts)
set(CPACK_PACKAGE_VENDOR "Vorlan")
set(CPACK_PACKAGE_CONTACT "VLFonts developers <vorlan@vorlan.net>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "font manager: list, preview, install and export fonts")
# The synopsis line comes from the summary above; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "VLFonts lists every installed font family and previews the selected one in a
 sample line with its size, colour and effects. It installs font files, runs
 font setup programs, searches folders for font files, deletes fonts, shows
 font information, exports an HTML page with a sample of every font, and
 offers a screen magnifier and a keyboard-to-glyph viewer. Chinese is its main
 interface language; English is the second.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.vorlan.net/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening a non-program download, the translations of Qt's own dialogs, and Qt's Wayland
# platform, so that a Wayland desktop runs the program as a Wayland client (global key through
# the desktop portal) rather than through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n, qt6-wayland")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# What Debian asks of every package's documentation folder.
set(VL_DEB_DOC ${CMAKE_BINARY_DIR}/debian-doc)
file(MAKE_DIRECTORY ${VL_DEB_DOC})
execute_process(COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/dist/debian/changelog
    OUTPUT_FILE ${VL_DEB_DOC}/changelog.Debian.gz)
install(FILES ${VL_DEB_DOC}/changelog.Debian.gz ${CMAKE_SOURCE_DIR}/dist/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vlfonts COMPONENT Unspecified)

execute_process(COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/dist/vlfonts.1
    OUTPUT_FILE ${VL_DEB_DOC}/vlfonts.1.gz)
install(FILES ${VL_DEB_DOC}/vlfonts.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

include(CPack)
