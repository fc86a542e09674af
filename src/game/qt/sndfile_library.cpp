#include "game/qt/sndfile_library.h"

#include "game/qt/dynamic_library.h"

namespace mf::qt {

// Both are kept to the end of the program, which may still play then.
const SndfileLibrary* SndfileLibrary::get() {
    static const SndfileLibrary* const library = [] () -> const SndfileLibrary* {
        const auto* file = new DynamicLibrary("libsndfile.so.1");
        auto* functions = new SndfileLibrary;
        bool complete = file->loaded();
#define MF_BIND(name) complete = complete && file->bind(#name, functions->name);
        MF_SNDFILE_FUNCTIONS(MF_BIND)
#undef MF_BIND
        return complete ? functions : nullptr;
    }();
    return library;
}

} // namespace mf::qt
