# cpack -G DEB: one package with the three programs, the menu entry, icons, help and manual pages.
set(CPACK_PACKAGE_NAME "torvex")
set(CPACK_PACKAGE_VENDOR "FTP Torvex developers")
set(CPACK_PACKAGE_CONTACT "FTP Torvex developers <torvex@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop FTP client with a built-in FTP server")
set(CPACK_PACKAGE_DESCRIPTION
    "FTP Torvex keeps a list of FTP sites, shows the local disk and the server side by side and moves files and whole folder trees both ways through a transfer queue. A small FTP server of its own serves a folder of this computer. torvex-server and torvex-cli do the same from the shell.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY "torvex")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "net")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# dpkg-shlibdeps (dpkg-dev) finds the libraries the programs link with their exact versions;
# without it the Qt libraries are named by hand, as Debian 12 calls them.
find_program(DPKG_SHLIBDEPS_EXECUTABLE dpkg-shlibdeps)
if(DPKG_SHLIBDEPS_EXECUTABLE)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "hicolor-icon-theme")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5core5a (>= 5.15), libqt5gui5 (>= 5.15) | libqt5gui5-gles (>= 5.15), libqt5widgets5 (>= 5.15), libqt5network5 (>= 5.15), libstdc++6, libc6, hicolor-icon-theme")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

set(CPACK_GENERATOR "DEB")
include(CPack)
