// SPDX-License-Identifier: GPL-3.0-or-later
// The sound output: one connection to the desktop's sound server (PulseAudio,
// or PipeWire through its PulseAudio service) on a thread of its own, shared
// by every wave device, and one playback stream for each device (its Line).
//
// Each sound plays on a stream of its own, made while the device idles: a
// new stream costs the server a round of linking (on PipeWire most of the
// time to the first sample), one made ahead only its next cycle. It waits
// corked, so it asks for nothing and the sink may suspend.
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
struct pa_stream;
struct pa_threaded_mainloop;

namespace mf::qt {

struct PulseLibrary;

// One sound being played, as the game's thread sees it.
struct Playback {
    std::atomic<bool> ended{false};   // played to the end, stopped or failed
};

// A device's stream on the server and the sound on it, kept by the output
// (pulse_output.cpp). A device holds its line as a LineHandle, which lets
// the stream go with the line.
struct Line;
struct LineRelease {
    void operator()(Line* line) const;
};
using LineHandle = std::unique_ptr<Line, LineRelease>;

class PulseOutput {
public:
    // What the server is asked to hold ahead of what is heard: a sound starts
    // this soon after it is asked for.
    static constexpr std::chrono::milliseconds kBuffer{20};

    static PulseOutput& instance();
    ~PulseOutput();

    // A new line, idle and without a stream until its first play.
    static LineHandle newLine();

    // Loads the library and connects on a worker thread, so the first sound
    // finds everything ready; the thread first runs the given job, if any.
    // Does nothing after the first call.
    void warmUp(std::function<void()> alongside = {});

    // Starts a sound on a line, cutting the one it plays; the playback has
    // ended at once when there is no output.
    std::shared_ptr<Playback> play(Line& line, std::shared_ptr<const DecodedSound> sound);
    // Cuts the line's sound at once.
    void stop(Line& line);
private:
    friend LineRelease;
    PulseOutput() = default;
    class Lock;

    bool startThread();
    void connect();
    void dropContext();
    void release(Line& line);
    void begin(Line& line);
    pa_stream* openStream(Line& line);
    void writeMore(Line& line, std::size_t bytes);
    void prepare(Line& line);
    void drain(Line& line);
    void cut(Line& line);
    void dropStreams(Line& line);
    void dropStream(pa_stream*& stream);
    void discard(pa_stream* stream);
    bool unansweredOnLiveConnection(pa_stream* stream) const;
    void dropSoon();

    static void contextChanged(pa_context* context, void* self);
    static void streamChanged(pa_stream* stream, void* line);
    static void writable(pa_stream* stream, std::size_t bytes, void* line);
    static void drained(pa_stream* stream, int success, void* line);
    static void confirmedLate(pa_stream* stream, void* self);

    std::mutex startMutex_;           // guards the loading of the library
    bool startTried_ = false;
    std::thread warmer_;
    const PulseLibrary* pa_ = nullptr;
    pa_threaded_mainloop* loop_ = nullptr;

    // Under the loop's lock:
    pa_context* context_ = nullptr;
    std::chrono::steady_clock::time_point connecting_;   // when context_ was made
    std::vector<Line*> lines_;     // every line with a sound or a stream
    std::vector<Line*> waiting_;   // lines whose sound waits for the connection
    bool dropAsked_ = false;                             // dropSoon() pending
};

} // namespace mf::qt
