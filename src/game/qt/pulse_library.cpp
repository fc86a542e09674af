#include "game/qt/pulse_library.h"

#include "game/qt/dynamic_library.h"

namespace mf::qt {

// Both are kept to the end of the program, which may still play then.
const PulseLibrary* PulseLibrary::get() {
    static const PulseLibrary* const library = [] () -> const PulseLibrary* {
        const auto* file = new DynamicLibrary("libpulse.so.0");
        auto* functions = new PulseLibrary;
        bool complete = file->loaded();
#define MF_BIND(name) complete = complete && file->bind(#name, functions->name);
        MF_PULSE_FUNCTIONS(MF_BIND)
#undef MF_BIND
        return complete ? functions : nullptr;
    }();
    return library;
}

} // namespace mf::qt
