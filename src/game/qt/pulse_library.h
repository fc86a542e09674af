// SPDX-License-Identifier: GPL-3.0-or-later
// The PulseAudio client library (which PipeWire desktops serve as well),
// loaded when the first sound is asked for rather than at start.
#pragma once

#include <pulse/pulseaudio.h>

namespace mf::qt {

#define MF_PULSE_FUNCTIONS(X)                                                                       \
    X(pa_threaded_mainloop_new) X(pa_threaded_mainloop_free) X(pa_threaded_mainloop_start)          \
    X(pa_threaded_mainloop_stop) X(pa_threaded_mainloop_lock) X(pa_threaded_mainloop_unlock)        \
    X(pa_threaded_mainloop_get_api) X(pa_context_new) X(pa_context_set_state_callback)              \
    X(pa_context_connect) X(pa_context_get_state) X(pa_context_disconnect) X(pa_context_unref)      \
    X(pa_stream_new) X(pa_stream_set_state_callback) X(pa_stream_set_write_callback)                \
    X(pa_stream_connect_playback) X(pa_stream_get_state) X(pa_stream_write) X(pa_stream_drain)      \
    X(pa_stream_cork)                                                                               \
    X(pa_stream_disconnect) X(pa_stream_unref) X(pa_operation_cancel) X(pa_operation_unref)         \
    X(pa_usec_to_bytes) X(pa_stream_get_context) X(pa_context_errno)

struct PulseLibrary {
#define MF_POINTER(name) decltype(&::name) name = nullptr;
    MF_PULSE_FUNCTIONS(MF_POINTER)
#undef MF_POINTER

    // The library with every function found, or null. Loaded once.
    static const PulseLibrary* get();
};

} // namespace mf::qt
