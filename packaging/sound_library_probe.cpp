// SPDX-License-Identifier: GPL-3.0-or-later
// Never installed: a program linked against the two sound libraries that the
// game opens only when it first plays a sound. dpkg-shlibdeps reads it when
// the package is made and so works out the package's dependencies on them.
#include <pulse/version.h>
#include <sndfile.h>

int main(int argc, char**) {
    return argc > 99 ? pa_get_library_version()[0] + sf_version_string()[0] : 0;
}
