// SPDX-License-Identifier: GPL-3.0-or-later
// libsndfile, which reads the sound files in every wave-audio encoding;
// loaded when the first sound is decoded rather than at start.
#pragma once

#include <sndfile.h>

namespace mf::qt {

#define MF_SNDFILE_FUNCTIONS(X) X(sf_open) X(sf_close) X(sf_readf_float)

struct SndfileLibrary {
#define MF_POINTER(name) decltype(&::name) name = nullptr;
    MF_SNDFILE_FUNCTIONS(MF_POINTER)
#undef MF_POINTER

    // The library with every function found, or null. Loaded once.
    static const SndfileLibrary* get();
};

} // namespace mf::qt
