// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/qt/pulse_library.h"

#include "game/qt/dynamic_library.h"

namespace mf::qt {

const PulseLibrary* PulseLibrary::get() {
    static const PulseLibrary* const library =
        DynamicLibrary::table<PulseLibrary>("libpulse.so.0", [](const DynamicLibrary& file, PulseLibrary& table) {
            bool complete = true;
            MF_PULSE_FUNCTIONS(MF_BIND_FUNCTION)
            return complete;
        });
    return library;
}

} // namespace mf::qt
