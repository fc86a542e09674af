// SPDX-License-Identifier: GPL-3.0-or-later
// The sound output: one connection to the desktop's sound server (PulseAudio,
// or PipeWire through its PulseAudio service) on a thread of its own, and one
// playback stream for each sound played. Shared by every wave device.
//
// Nothing here blocks the game: a play is handed to the output's thread and
// reports through its `ended` flag. A connection that fails or whose server
// goes away is dropped, and the next play connects afresh.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "game/qt/sound_decoder.h"

struct pa_context;
struct pa_operation;
struct pa_stream;
struct pa_threaded_mainloop;

namespace mf::qt {

struct PulseLibrary;

// One sound being played. The game's thread reads `ended`; the rest belongs
// to the output and is touched only under its lock.
struct Playback {
    std::atomic<bool> ended{false};   // played to the end, stopped or failed

    std::shared_ptr<const DecodedSound> sound;
    std::size_t written = 0;          // bytes handed to the server
    pa_stream* stream = nullptr;
    pa_operation* drain = nullptr;
};

class PulseOutput {
public:
    // What the server is asked to hold ahead of what is heard: a sound starts
    // this soon after it is asked for.
    static constexpr std::chrono::milliseconds kBuffer{20};

    static PulseOutput& instance();
    ~PulseOutput();

    // Loads the library and connects on a worker thread, so the first sound
    // finds everything ready; the thread first runs the given job, if any.
    // Does nothing after the first call.
    void warmUp(std::function<void()> alongside = {});

    // Starts a sound; the playback has ended at once when there is no output.
    std::shared_ptr<Playback> play(std::shared_ptr<const DecodedSound> sound);
    // Cuts a sound at once.
    void stop(const std::shared_ptr<Playback>& playback);

private:
    PulseOutput() = default;
    class Lock;

    bool startThread();
    void connect();
    void dropContext();
    void startStream(const std::shared_ptr<Playback>& playback);
    void finish(Playback& playback);
    void discard(pa_stream* stream);
    bool unansweredOnLiveConnection(pa_stream* stream) const;
    void dropSoon();
    void forget(const Playback& playback);

    static void contextChanged(pa_context* context, void* self);
    static void streamChanged(pa_stream* stream, void* self);
    static void writable(pa_stream* stream, std::size_t bytes, void* self);
    static void drained(pa_stream* stream, int success, void* self);
    static void confirmedLate(pa_stream* stream, void* self);

    std::mutex startMutex_;           // guards the loading of the library
    bool startTried_ = false;
    std::thread warmer_;
    const PulseLibrary* pa_ = nullptr;
    pa_threaded_mainloop* loop_ = nullptr;

    // Under the loop's lock:
    pa_context* context_ = nullptr;
    std::chrono::steady_clock::time_point connecting_;   // when context_ was made
    std::vector<std::shared_ptr<Playback>> waiting_;     // for the connection
    std::vector<std::shared_ptr<Playback>> playing_;     // with a stream
    bool dropAsked_ = false;                             // dropSoon() pending
};

} // namespace mf::qt
