# The Debian package: cpack -G DEB in the build folder. Its dependencies are
# read off the programs' libraries (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dropcalc)
set(CPACK_PACKAGE_VENDOR "Quarnhold Drop Calculator")
set(CPACK_PACKAGE_CONTACT "Quarnhold Drop Calculator developers <dropcalc@quarnhold.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drop chances of a role-playing game's monsters and items")
set(CPACK_PACKAGE_DESCRIPTION
    "Tells players of a role-playing game how likely each monster is to drop each\n"
    "item, normal, unique or set, at each difficulty and with the character's magic\n"
    "find, from plain-text data files. A window and a command-line tool.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quarnhold.github.io/dropcalc/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(DROPCALC_GUI)
  # The window needs a platform plugin, which no library of it links.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
include(CPack)
