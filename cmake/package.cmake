# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, made by CPack from the install rules:
#   cpack -G DEB            (in the build folder; scripts/package.sh does it all)
# gives marrowfen2_<version>_<arch>.deb. Its library dependencies are worked
# out by dpkg-shlibdeps, not written here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marrowfen2)
set(CPACK_PACKAGE_VENDOR "The Marrowfen 2 developers")
set(CPACK_PACKAGE_CONTACT "Marrowfen 2 maintainers <maintainers@users.noreply.c-seed-55bb8d97.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mine-clearing game against the clock")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_SET_DESTDIR OFF)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The sound libraries are opened at run time: cmake/package_depends.cmake
# works out the dependencies on them when the package is made.
set(CPACK_MARROWFEN_SOUND_PROBE ${CMAKE_BINARY_DIR}/packaging/sound_library_probe)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_depends.cmake)
# Sound needs a server to play to; the fonts are the ones the windows ask for.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, fonts-comic-neue, fonts-liberation2")
# CPack joins the summary and this text into the package's description.
set(CPACK_PACKAGE_DESCRIPTION "Marrowfen 2 is a single-player mine-clearing game. Uncover the cells of a
square minefield one at a time: a number tells how many neighbours hide a
mine, an empty cell opens its whole empty region, and a right click plants
a flag on a suspected mine.

Three levels and a custom one, a clock, a Hall of Fame of the best times,
explosions, faces and sounds. The best times are kept in the player's own
data folder, ~/.local/share/marrowfen2.")

include(CPack)
