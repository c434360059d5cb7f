# The Debian package: `cpack -G DEB` in the build tree (scripts/package does
# that) packs what the install rules install under /usr.
set(CPACK_PACKAGE_NAME torvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Torvane developers")
set(CPACK_PACKAGE_CONTACT "Torvane developers <torvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for 8051 and AVR assembler sources")
# Lines under 80 columns: the control file shows them as they are.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Torvane keeps several assembler sources open in tabs, highlights their\n"
  "syntax and builds the active file with one key (F9) through an external\n"
  "assembler, turning its messages into clickable jumps. It converts Intel\n"
  "HEX output to binary images and searches with regular expressions.\n"
  "Its user interface is Czech.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The bridge and resource libraries are private to the program: nothing else
# links them, so dpkg-shlibdeps must not look for a package providing them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CPACK_PACKAGING_INSTALL_PREFIX}/${TORVANE_INSTALL_LIBDIR})
# Qt finds its window-system plugins at run time, so no library dependency
# names them; without them the program cannot open a window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The AVR front end runs avra and the 8051 one as31; Qt's own dialogs speak
# Czech with the translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "avra, as31, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
