# The Debian package: `cpack -G DEB` in the build folder (scripts/package).
set(PRINTDECK_MAINTAINER "Printdeck developers <printdeck@printdeck.org>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME printdeck)
set(CPACK_PACKAGE_VENDOR Printdeck)
set(CPACK_PACKAGE_CONTACT "${PRINTDECK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure portable receipt and label printers")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PRINTDECK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Printdeck reads, edits and writes the whole configuration of portable receipt
and label printers (memory switches, serial, Bluetooth and RF settings,
card-reader sentinels), puts logos into the printer's NV image memory and
sends firmware, over a serial line, a USB printer device or TCP.

It brings a desktop window (printdeck), a command line (printdeck-cli) and a
virtual printer for trying both without hardware.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so shlibdeps cannot see it: the window's SVG icon.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS bash-completion)

include(CPack)
