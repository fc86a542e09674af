# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack when it makes the package: the dependencies on the sound
# libraries that the game opens at run time, out of sight of the dpkg-shlibdeps
# run on the program itself. dpkg-shlibdeps works them out from the probe
# linked against those libraries (cmake/install.cmake); what the program
# itself links is left to that other run.
set(probe_folder ${CPACK_TOPLEVEL_DIRECTORY}/sound-libraries)
file(MAKE_DIRECTORY ${probe_folder}/debian)
file(TOUCH ${probe_folder}/debian/control) # dpkg-shlibdeps wants one
execute_process(
    COMMAND dpkg-shlibdeps -O -e ${CPACK_MARROWFEN_SOUND_PROBE} -xlibc6 -xlibstdc++6 -xlibgcc-s1
    WORKING_DIRECTORY ${probe_folder}
    OUTPUT_VARIABLE shlibs ERROR_VARIABLE errors RESULT_VARIABLE failed
    OUTPUT_STRIP_TRAILING_WHITESPACE)
if(failed OR NOT shlibs MATCHES "^shlibs:Depends=.")
    message(FATAL_ERROR "dpkg-shlibdeps found no package for the sound libraries: ${errors}")
endif()
string(REGEX REPLACE "^shlibs:Depends=" "" CPACK_DEBIAN_PACKAGE_DEPENDS "${shlibs}")
