// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/qt/sndfile_library.h"

#include "game/qt/dynamic_library.h"

namespace mf::qt {

const SndfileLibrary* SndfileLibrary::get() {
    static const SndfileLibrary* const library =
        DynamicLibrary::table<SndfileLibrary>("libsndfile.so.1", [](const DynamicLibrary& file, SndfileLibrary& table) {
            bool complete = true;
            MF_SNDFILE_FUNCTIONS(MF_BIND_FUNCTION)
            return complete;
        });
    return library;
}

} // namespace mf::qt
