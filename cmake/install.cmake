# SPDX-License-Identifier: GPL-3.0-or-later
# Installing Marrowfen 2: `cmake --install` to any prefix, and the Debian
# package made from the same rules (cmake/package.cmake).
#
#   games/marrowfen2               the launcher: makes the player's data folder,
#                                  goes there and starts the game (games, not
#                                  bin: Debian's place for games, which is on
#                                  its players' PATH)
#   libexec/marrowfen2             the game itself
#   share/marrowfen2/Vorask?.fez   the sounds
#   share/applications, share/icons/hicolor, share/metainfo
#                                  the menu entry, its icons and the catalogue
#                                  entry of software centres
#   share/man/man6, share/doc/marrowfen2
#
# The places are fixed, not taken from GNUInstallDirs, because they are tied
# together: the launcher starts ../libexec/marrowfen2 from its own folder, and
# the game looks for a sound it does not find in its working folder in
# ../share/marrowfen2 from its own folder. Nothing is written under the prefix
# at run time.
if(NOT TARGET marrowfen2)
    return()
endif()

set(MARROWFEN_APP_ID org.marrowfen.Marrowfen2)
set(packaging ${CMAKE_CURRENT_LIST_DIR}/../packaging)
set(assets ${CMAKE_CURRENT_LIST_DIR}/../assets)

# Folders made by the install are rwxr-xr-x whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The installed game finds its libraries in the system's folders only.
set_target_properties(marrowfen2 PROPERTIES INSTALL_RPATH "" BUILD_WITH_INSTALL_RPATH OFF)
install(TARGETS marrowfen2 RUNTIME DESTINATION libexec)
install(PROGRAMS ${packaging}/marrowfen2 DESTINATION games)

file(GLOB installed_sounds CONFIGURE_DEPENDS ${assets}/sounds/Vorask[1-6].fez)
install(FILES ${installed_sounds} DESTINATION share/marrowfen2)

install(FILES ${packaging}/${MARROWFEN_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${packaging}/${MARROWFEN_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${assets}/icons/${size}x${size}.png
        DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${MARROWFEN_APP_ID}.png)
endforeach()
install(FILES ${assets}/icons/scalable.svg
    DESTINATION share/icons/hicolor/scalable/apps RENAME ${MARROWFEN_APP_ID}.svg)

# The manual page and the change log go compressed, without a time stamp in
# the gzip header, so that the same sources give the same package.
function(marrowfen_gzip source target)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/packaging/${target})
    add_custom_command(OUTPUT ${output}
        COMMAND gzip -9 -n -c ${source} > ${output}
        DEPENDS ${source} VERBATIM)
    set(marrowfen_gzipped ${marrowfen_gzipped} ${output} PARENT_SCOPE)
endfunction()
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/packaging)
marrowfen_gzip(${packaging}/marrowfen2.6 marrowfen2.6.gz)
marrowfen_gzip(${packaging}/changelog changelog.gz)
# Built with the game, so that installing after building only the game works.
add_custom_target(marrowfen2_docs DEPENDS ${marrowfen_gzipped})
add_dependencies(marrowfen2 marrowfen2_docs)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/marrowfen2.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz ${packaging}/copyright
    DESTINATION share/doc/marrowfen2)

include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)

# The game opens libpulse and libsndfile when it first plays a sound, so they
# are not on its link line; this probe is, for cmake/package_depends.cmake.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MARROWFEN_SOUND_LIBRARIES REQUIRED IMPORTED_TARGET libpulse sndfile)
add_executable(sound_library_probe ${packaging}/sound_library_probe.cpp)
target_link_libraries(sound_library_probe PRIVATE PkgConfig::MARROWFEN_SOUND_LIBRARIES)
set_target_properties(sound_library_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
add_dependencies(marrowfen2 sound_library_probe)
