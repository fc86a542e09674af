#include "game/qt/sound_decoder.h"

#include "game/qt/sndfile_library.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace mf::qt {

namespace {

constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 384000;   // the most the sound server takes
constexpr int kMostChannels = 64;

bool acceptable(const SF_INFO& info) {
    return info.samplerate >= kLowestRate && info.samplerate <= kHighestRate && info.channels >= 1
           && info.channels <= kMostChannels && info.frames > 0
           && info.frames <= sf_count_t(info.samplerate) * kLongestSound.count();
}

std::int16_t toInt16(float sample) {
    return std::int16_t(std::lrint(std::clamp(sample, -1.0f, 1.0f) * 32767.0f));
}

// Samples from -1 to 1 as 16-bit ones; more than two channels are mixed
// down to one.
std::vector<std::int16_t> toOutput(const std::vector<float>& samples, int channels) {
    const int kept = channels > 2 ? 1 : channels;
    std::vector<std::int16_t> out(samples.size() / std::size_t(channels) * std::size_t(kept));
    if (kept == channels) {
        std::transform(samples.begin(), samples.end(), out.begin(), toInt16);
        return out;
    }
    for (std::size_t frame = 0; frame < out.size(); ++frame) {
        const auto first = samples.begin() + std::ptrdiff_t(frame * std::size_t(channels));
        out[frame] = toInt16(std::accumulate(first, first + channels, 0.0f) / float(channels));
    }
    return out;
}

} // namespace

std::shared_ptr<const DecodedSound> decodeSound(const std::string& path) {
    const SndfileLibrary* sf = SndfileLibrary::get();
    if (!sf)
        return nullptr;
    SF_INFO info{};
    SNDFILE* file = sf->sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return nullptr;
    if (!acceptable(info)) {
        sf->sf_close(file);
        return nullptr;
    }
    // Every encoding reads as floats from -1 to 1; a file shorter than its
    // header says ends the reading early.
    std::vector<float> samples(std::size_t(info.frames) * std::size_t(info.channels));
    const sf_count_t read = sf->sf_readf_float(file, samples.data(), info.frames);
    sf->sf_close(file);
    if (read <= 0)
        return nullptr;
    samples.resize(std::size_t(read) * std::size_t(info.channels));
    auto sound = std::make_shared<DecodedSound>();
    sound->rate = info.samplerate;
    sound->channels = info.channels > 2 ? 1 : info.channels;
    sound->samples = toOutput(samples, info.channels);
    return sound;
}

} // namespace mf::qt
