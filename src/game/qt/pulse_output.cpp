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

std::shared_ptr<Playback> PulseOutput::play(std::shared_ptr<const DecodedSound> sound) {
    auto playback = std::make_shared<Playback>();
    playback->sound = std::move(sound);
    if (!playback->sound || !startThread()) {
        playback->ended = true;
        return playback;
    }
    const Lock lock(*this);
    connect();
    if (!context_)
        playback->ended = true;
    else if (pa_->pa_context_get_state(context_) == PA_CONTEXT_READY)
        startStream(playback);
    else
        waiting_.push_back(playback);
    return playback;
}

void PulseOutput::stop(const std::shared_ptr<Playback>& playback) {
    // A playback comes from play(), which has tried to start the thread; the
    // answer is read under the start lock, as the warm-up thread writes it.
    if (!playback || !startThread())
        return;
    const Lock lock(*this);
    finish(*playback);
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

// Ends every sound of the connection and lets the connection go. Under the lock.
void PulseOutput::dropContext() {
    auto all = std::exchange(waiting_, {});
    all.insert(all.end(), playing_.begin(), playing_.end());
    for (const auto& playback : all)
        finish(*playback);
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
        for (const auto& playback : std::exchange(output.waiting_, {}))
            output.startStream(playback);
    } else if (!PA_CONTEXT_IS_GOOD(state)) {
        // The streams of a lost connection fail on their own.
        for (const auto& playback : std::exchange(output.waiting_, {}))
            playback->ended = true;
    }
}

// Opens a playback stream at the sound's own rate; the server converts it to
// the device's. Under the lock.
void PulseOutput::startStream(const std::shared_ptr<Playback>& playback) {
    const DecodedSound& sound = *playback->sound;
    const pa_sample_spec format{PA_SAMPLE_S16NE, std::uint32_t(sound.rate), std::uint8_t(sound.channels)};
    playback->stream = pa_->pa_stream_new(context_, "sound", &format, nullptr);
    if (!playback->stream) {
        playback->ended = true;
        return;
    }
    playing_.push_back(playback);
    const std::uint32_t ahead = std::uint32_t(pa_->pa_usec_to_bytes(pa_usec_t(kBuffer.count()) * 1000, &format));
    const pa_buffer_attr attr{std::uint32_t(-1), ahead, std::uint32_t(-1), std::uint32_t(-1), std::uint32_t(-1)};
    pa_->pa_stream_set_state_callback(playback->stream, streamChanged, playback.get());
    pa_->pa_stream_set_write_callback(playback->stream, writable, playback.get());
    if (pa_->pa_stream_connect_playback(playback->stream, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr,
                                        nullptr) < 0)
        finish(*playback);
}

void PulseOutput::streamChanged(pa_stream* stream, void* self) {
    auto& playback = *static_cast<Playback*>(self);
    PulseOutput& output = instance();
    if (!PA_STREAM_IS_GOOD(output.pa_->pa_stream_get_state(stream)))
        output.finish(playback);
}

// Hands over the sound, far more than asked at first, then waits for the
// server to have played it all.
void PulseOutput::writable(pa_stream* stream, std::size_t bytes, void* self) {
    auto& playback = *static_cast<Playback*>(self);
    PulseOutput& output = instance();
    const auto* data = reinterpret_cast<const char*>(playback.sound->samples.data());
    const std::size_t total = playback.sound->samples.size() * sizeof(std::int16_t);
    const std::size_t count = std::min(total - playback.written, std::max(bytes, kHandOver));
    if (count > 0
        && output.pa_->pa_stream_write(stream, data + playback.written, count, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
        output.finish(playback);
        return;
    }
    playback.written += count;
    if (playback.written < total || playback.drain)
        return;
    output.pa_->pa_stream_set_write_callback(stream, nullptr, nullptr);
    playback.drain = output.pa_->pa_stream_drain(stream, drained, self);
    if (!playback.drain)
        output.finish(playback);
}

void PulseOutput::drained(pa_stream*, int, void* self) {
    auto& playback = *static_cast<Playback*>(self);
    PulseOutput& output = instance();
    output.pa_->pa_operation_unref(std::exchange(playback.drain, nullptr));
    output.finish(playback);
}

// Cuts the sound if it still plays and lets its stream go. Under the lock.
void PulseOutput::finish(Playback& playback) {
    if (playback.drain) {
        pa_->pa_operation_cancel(playback.drain);
        pa_->pa_operation_unref(std::exchange(playback.drain, nullptr));
    }
    if (pa_stream* stream = std::exchange(playback.stream, nullptr))
        discard(stream);
    playback.ended = true;
    forget(playback);
}

// Takes a stream off the server and lets it go. One that the server has not
// yet confirmed cannot be taken off, and letting it go would leave it on the
// server as long as the connection lasts: it is kept until the server
// confirms it (or the connection ends), then dropped. Under the lock.
void PulseOutput::discard(pa_stream* stream) {
    pa_->pa_stream_set_write_callback(stream, nullptr, nullptr);
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

// Under the lock. The playback may go with its last holder here.
void PulseOutput::forget(const Playback& playback) {
    const auto same = [&](const std::shared_ptr<Playback>& p) { return p.get() == &playback; };
    std::erase_if(waiting_, same);
    std::erase_if(playing_, same);
}

} // namespace mf::qt
