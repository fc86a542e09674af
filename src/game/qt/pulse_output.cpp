// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/qt/pulse_output.h"

#include <algorithm>
#include <utility>

#include "game/qt/pulse_library.h"

namespace mf::qt {

namespace {

// A server that has not answered by then is given up at the next play.
constexpr std::chrono::seconds kConnectPatience{2};
// How much of a sound is handed over at a time, beyond what the server asks
// for: the whole of any game sound, and no risk of running dry.
constexpr std::size_t kHandOver = 1 << 20;

} // namespace

struct Line {
    std::shared_ptr<Playback> playing;           // null while the line is idle
    std::shared_ptr<const DecodedSound> sound;   // what it plays
    std::size_t written = 0;                     // bytes of it handed to the server
    pa_operation* drain = nullptr;               // asked once all is written
    pa_stream* stream = nullptr;                 // the sound's own
    pa_stream* spare = nullptr;                  // made ahead, corked, for the next sound
    pa_sample_spec format{};                     // the last sound's, and the spare's
    bool used = false;                           // played on at least once
};

void LineRelease::operator()(Line* line) const {
    if (line->used)
        PulseOutput::instance().release(*line);
    delete line;
}

LineHandle PulseOutput::newLine() { return LineHandle(new Line); }

// Holds the output thread's lock for a scope.
class PulseOutput::Lock {
public:
    explicit Lock(const PulseOutput& output) : output_(output) {
        output_.pa_->pa_threaded_mainloop_lock(output_.loop_);
    }
    ~Lock() { output_.pa_->pa_threaded_mainloop_unlock(output_.loop_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    const PulseOutput& output_;
};

PulseOutput& PulseOutput::instance() {
    static PulseOutput output;
    return output;
}

PulseOutput::~PulseOutput() {
    if (warmer_.joinable())
        warmer_.join();
    if (!loop_)
        return;
    pa_->pa_threaded_mainloop_stop(loop_);
    dropContext();
    pa_->pa_threaded_mainloop_free(loop_);
}

void PulseOutput::warmUp(std::function<void()> alongside) {
    const std::lock_guard guard(startMutex_);
    if (startTried_ || warmer_.joinable())
        return;
    warmer_ = std::thread([this, alongside = std::move(alongside)] {
        if (alongside)
            alongside();
        if (startThread()) {
            const Lock lock(*this);
            connect();
        }
    });
}

// Loads the library and starts the output's thread, once; false without them.
bool PulseOutput::startThread() {
    const std::lock_guard guard(startMutex_);
    if (startTried_)
        return loop_ != nullptr;
    startTried_ = true;
    pa_ = PulseLibrary::get();
    if (!pa_)
        return false;
    loop_ = pa_->pa_threaded_mainloop_new();
    if (loop_ && pa_->pa_threaded_mainloop_start(loop_) < 0) {
        pa_->pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
    }
    return loop_ != nullptr;
}

std::shared_ptr<Playback> PulseOutput::play(Line& line, std::shared_ptr<const DecodedSound> sound) {
    auto playback = std::make_shared<Playback>();
    line.used = true;
    if (!sound || !startThread()) {
        playback->ended = true;
        stop(line);
        return playback;
    }
    const Lock lock(*this);
    cut(line);
    connect();
    if (!context_) {
        playback->ended = true;
        return playback;
    }
    line.playing = playback;
    line.sound = std::move(sound);
    if (std::find(lines_.begin(), lines_.end(), &line) == lines_.end())
        lines_.push_back(&line);
    if (pa_->pa_context_get_state(context_) == PA_CONTEXT_READY)
        begin(line);
    else if (std::find(waiting_.begin(), waiting_.end(), &line) == waiting_.end())
        waiting_.push_back(&line);
    return playback;
}

void PulseOutput::stop(Line& line) {
    // A line has been played on only after play() has tried to start the
    // thread; the answer is read under the start lock, as the warm-up thread
    // writes it.
    if (!startThread())
        return;
    const Lock lock(*this);
    cut(line);
    prepare(line);
}

// Cuts the line's sound and takes its stream off the server: the line may go.
void PulseOutput::release(Line& line) {
    if (!startThread())
        return;
    const Lock lock(*this);
    cut(line);
    dropStreams(line);
    std::erase(lines_, &line);
}

// Keeps a working connection, or starts a new one in place of one that
// failed, ended or hangs. Under the lock.
void PulseOutput::connect() {
    if (context_) {
        const pa_context_state_t state = pa_->pa_context_get_state(context_);
        const bool hangs = state != PA_CONTEXT_READY
                           && std::chrono::steady_clock::now() - connecting_ > kConnectPatience;
        if (PA_CONTEXT_IS_GOOD(state) && !hangs)
            return;
        dropContext();
    }
    context_ = pa_->pa_context_new(pa_->pa_threaded_mainloop_get_api(loop_), "Marrowfen 2");
    if (!context_)
        return;
    connecting_ = std::chrono::steady_clock::now();
    pa_->pa_context_set_state_callback(context_, contextChanged, this);
    // No autospawn: a desktop without a sound server stays without one.
    if (pa_->pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        dropContext();
}

// Ends every sound of the connection and lets the connection go, the
// lines' streams with it. Under the lock.
void PulseOutput::dropContext() {
    waiting_.clear();
    for (Line* line : lines_) {
        cut(*line);
        dropStreams(*line);
    }
    if (!context_)
        return;
    pa_->pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_->pa_context_disconnect(context_);
    pa_->pa_context_unref(context_);
    context_ = nullptr;
}

void PulseOutput::contextChanged(pa_context* context, void* self) {
    auto& output = *static_cast<PulseOutput*>(self);
    const pa_context_state_t state = output.pa_->pa_context_get_state(context);
    if (state == PA_CONTEXT_READY) {
        for (Line* line : std::exchange(output.waiting_, {}))
            if (line->playing)
                output.begin(*line);
    } else if (!PA_CONTEXT_IS_GOOD(state)) {
        // The streams of a lost connection fail on their own.
        for (Line* line : std::exchange(output.waiting_, {}))
            output.cut(*line);
    }
}

// Puts the line's sound on its way: on the spare stream when that has the
// sound's format, else on a new one; a stream takes its sound as soon as it
// is up. Under the lock.
void PulseOutput::begin(Line& line) {
    const DecodedSound& sound = *line.sound;
    const pa_sample_spec format{PA_SAMPLE_S16NE, std::uint32_t(sound.rate), std::uint8_t(sound.channels)};
    if (line.format.rate != format.rate || line.format.channels != format.channels) {
        dropStream(line.spare);
        line.format = format;
    }
    line.stream = line.spare ? std::exchange(line.spare, nullptr) : openStream(line);
    if (!line.stream) {
        cut(line);
        return;
    }
    if (pa_->pa_stream_get_state(line.stream) == PA_STREAM_READY)
        writeMore(line, 0);
}

// Makes the spare stream for the line's next sound, in the last one's
// format, so that the sound finds it up. It is made once a sound is over or
// cut, never while one plays: a stream that joins the server's graph may
// cost a playing one a cycle. Under the lock.
void PulseOutput::prepare(Line& line) {
    if (!line.spare && line.format.rate > 0 && context_
        && pa_->pa_context_get_state(context_) == PA_CONTEXT_READY)
        line.spare = openStream(line);
}

// Opens a playback stream at the line's rate, corked until a sound is
// written to it; the server converts it to the device's rate. Each sound
// has a stream of its own, never written to again: on a stream that had
// played a sound, PipeWire's Pulse service had run its read index past the
// end of it, so the next lost up to a cycle of its start; a flush races its
// audio thread; and a drain asked for before it could be answered in the
// name of the next sound's. Null when the server refuses. Under the lock.
pa_stream* PulseOutput::openStream(Line& line) {
    pa_stream* stream = pa_->pa_stream_new(context_, "sound", &line.format, nullptr);
    if (!stream)
        return nullptr;
    const std::uint32_t ahead = std::uint32_t(pa_->pa_usec_to_bytes(pa_usec_t(kBuffer.count()) * 1000, &line.format));
    const pa_buffer_attr attr{std::uint32_t(-1), ahead, std::uint32_t(-1), std::uint32_t(-1), std::uint32_t(-1)};
    pa_->pa_stream_set_state_callback(stream, streamChanged, &line);
    pa_->pa_stream_set_write_callback(stream, writable, &line);
    const auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_CORKED);
    if (pa_->pa_stream_connect_playback(stream, nullptr, &attr, flags, nullptr, nullptr) < 0) {
        discard(stream);
        return nullptr;
    }
    return stream;
}

// A stream that fails takes its sound along, and the next play makes
// another.
void PulseOutput::streamChanged(pa_stream* stream, void* line) {
    PulseOutput& output = instance();
    auto& l = *static_cast<Line*>(line);
    if (PA_STREAM_IS_GOOD(output.pa_->pa_stream_get_state(stream)))
        return;
    if (stream == l.stream)
        output.cut(l);
    else if (stream == l.spare)
        output.dropStream(l.spare);
}

// The server asks for more: the first request of a stream that was being
// made takes its sound. A spare's is not for now.
void PulseOutput::writable(pa_stream* stream, std::size_t bytes, void* line) {
    auto& l = *static_cast<Line*>(line);
    if (stream == l.stream)
        instance().writeMore(l, bytes);
}

// Hands over the line's sound, far more than asked at first, then waits for
// the server to have played it all. Under the lock.
void PulseOutput::writeMore(Line& line, std::size_t bytes) {
    if (!line.playing || line.drain)
        return;
    const auto* data = reinterpret_cast<const char*>(line.sound->samples.data());
    const std::size_t total = line.sound->samples.size() * sizeof(std::int16_t);
    const std::size_t count = std::min(total - line.written, std::max(bytes, kHandOver));
    if (count > 0
        && pa_->pa_stream_write(line.stream, data + line.written, count, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
        cut(line);
        return;
    }
    if (line.written == 0)
        if (pa_operation* uncork = pa_->pa_stream_cork(line.stream, 0, nullptr, nullptr))
            pa_->pa_operation_unref(uncork);
    line.written += count;
    if (line.written == total)
        drain(line);
}

// Asks the server to tell when it has played all of the sound. Under the
// lock.
void PulseOutput::drain(Line& line) {
    line.drain = pa_->pa_stream_drain(line.stream, drained, &line);
    if (!line.drain)
        cut(line);
}

// The sound has been played: its stream goes, and a spare is made for the
// next. Under the lock.
void PulseOutput::drained(pa_stream*, int, void* line) {
    PulseOutput& output = instance();
    auto& l = *static_cast<Line*>(line);
    output.pa_->pa_operation_unref(std::exchange(l.drain, nullptr));
    if (const std::shared_ptr<Playback> playback = std::exchange(l.playing, nullptr))
        playback->ended = true;
    l.sound = nullptr;
    l.written = 0;
    output.dropStream(l.stream);
    output.prepare(l);
}

// Ends the line's sound, if any, and its stream with it. Under the lock.
void PulseOutput::cut(Line& line) {
    std::erase(waiting_, &line);
    const std::shared_ptr<Playback> playback = std::exchange(line.playing, nullptr);
    if (!playback)
        return;
    if (line.drain) {
        pa_->pa_operation_cancel(line.drain);
        pa_->pa_operation_unref(std::exchange(line.drain, nullptr));
    }
    dropStream(line.stream);
    line.sound = nullptr;
    line.written = 0;
    playback->ended = true;
}

// Lets the line's streams go. Under the lock.
void PulseOutput::dropStreams(Line& line) {
    dropStream(line.stream);
    dropStream(line.spare);
}

// Lets a stream go, if there is one, and forgets it. Under the lock.
void PulseOutput::dropStream(pa_stream*& stream) {
    if (stream)
        discard(std::exchange(stream, nullptr));
}

// Takes a stream off the server and lets it go. One that the server has not
// yet confirmed cannot be taken off, and letting it go would leave it on the
// server as long as the connection lasts: it is kept until the server
// confirms it (or the connection ends), then dropped. Under the lock.
void PulseOutput::discard(pa_stream* stream) {
    pa_->pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_->pa_stream_set_state_callback(stream, nullptr, nullptr);
    const pa_stream_state_t state = pa_->pa_stream_get_state(stream);
    if (state == PA_STREAM_CREATING) {
        pa_->pa_stream_set_state_callback(stream, confirmedLate, this);
        return;
    }
    pa_->pa_stream_set_state_callback(stream, nullptr, nullptr);
    if (state == PA_STREAM_READY)
        pa_->pa_stream_disconnect(stream);
    if (state == PA_STREAM_FAILED && unansweredOnLiveConnection(stream))
        dropSoon();
    pa_->pa_stream_unref(stream);
}

// A stream the server did not confirm in time (it hung for longer than the
// library waits) may still be made when the server goes on, out of reach.
bool PulseOutput::unansweredOnLiveConnection(pa_stream* stream) const {
    pa_context* context = pa_->pa_stream_get_context(stream);
    return context == context_ && pa_->pa_context_get_state(context) == PA_CONTEXT_READY
           && pa_->pa_context_errno(context) == PA_ERR_TIMEOUT;
}

// Only the end of the connection takes such streams off the server: it is
// dropped as soon as the output's thread is out of the callback under way,
// and the next play connects afresh. Under the lock.
void PulseOutput::dropSoon() {
    if (dropAsked_)
        return;
    dropAsked_ = true;
    pa_mainloop_api* api = pa_->pa_threaded_mainloop_get_api(loop_);
    api->defer_new(
        api,
        [](pa_mainloop_api* loop, pa_defer_event* event, void* self) {
            loop->defer_free(event);
            auto& output = *static_cast<PulseOutput*>(self);
            output.dropAsked_ = false;
            output.dropContext();
        },
        this);
}

void PulseOutput::confirmedLate(pa_stream* stream, void* self) {
    auto& output = *static_cast<PulseOutput*>(self);
    if (output.pa_->pa_stream_get_state(stream) != PA_STREAM_CREATING)
        output.discard(stream);
}

} // namespace mf::qt
