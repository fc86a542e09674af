// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/qt/sound_decoder.h"

#include "game/qt/sndfile_library.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>

namespace mf::qt {

namespace {

constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 384000;   // the most the sound server takes
constexpr int kMostChannels = 64;
// Samples kept after mixing down, at most: 30 s of 48 kHz stereo (5.5 MiB).
constexpr sf_count_t kMostSamples = sf_count_t(kLongestSound.count()) * 48000 * 2;
// Samples a byte of a compressed file may stand for: far more than any codec
// gives for real sound, far less than a header may claim.
constexpr sf_count_t kMostSamplesPerByte = 256;
// Frames read at a time.
constexpr sf_count_t kBlockFrames = 4096;

// Bytes a sample takes in the file when it is stored whole; 0 when compressed.
int storedBytes(int format) {
    if ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC)
        return 0;   // its samples are named as PCM, and are packed
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8: case SF_FORMAT_PCM_U8: case SF_FORMAT_ULAW: case SF_FORMAT_ALAW: return 1;
    case SF_FORMAT_PCM_16: return 2;
    case SF_FORMAT_PCM_24: return 3;
    case SF_FORMAT_PCM_32: case SF_FORMAT_FLOAT: return 4;
    case SF_FORMAT_DOUBLE: return 8;
    default: return 0;
    }
}

int keptChannels(int channels) { return channels > 2 ? 1 : channels; }

// A wave file's data chunk that claims over four times the bytes that follow
// its header: a file made to look long, not one cut short. libsndfile reads
// such a file as far as it goes, so it is refused here.
bool overclaimedWave(const std::string& path, std::uintmax_t fileBytes) {
    std::ifstream in(path, std::ios::binary);
    char head[12];
    if (!in.read(head, sizeof head) || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
        return false;
    const auto le32 = [](const unsigned char* b) {
        return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    };
    unsigned char chunk[8];
    for (int n = 0; n < 64 && in.read(reinterpret_cast<char*>(chunk), sizeof chunk); ++n) {
        const std::uint32_t size = le32(chunk + 4);
        if (std::memcmp(chunk, "data", 4) == 0) {
            const auto start = std::uintmax_t(in.tellg());
            return start <= fileBytes && size / 4 > fileBytes - start;
        }
        in.seekg(std::streamoff(size + (size & 1)), std::ios::cur);
    }
    return false;
}

// The header's claims, against what a game sound may be and what a file of
// this size can hold.
bool acceptable(const SF_INFO& info, std::uintmax_t fileBytes) {
    if (info.samplerate < kLowestRate || info.samplerate > kHighestRate || info.channels < 1
        || info.channels > kMostChannels || info.frames <= 0
        || info.frames > sf_count_t(info.samplerate) * kLongestSound.count()
        || info.frames * keptChannels(info.channels) > kMostSamples)
        return false;
    const auto samples = std::uintmax_t(info.frames) * std::uintmax_t(info.channels);
    const int bytes = storedBytes(info.format);
    return bytes > 0 ? samples * std::uintmax_t(bytes) <= fileBytes : samples <= fileBytes * kMostSamplesPerByte;
}

std::int16_t toInt16(float sample) {
    return std::int16_t(std::lrint(std::clamp(sample, -1.0f, 1.0f) * 32767.0f));
}

// Appends frames of samples from -1 to 1 as 16-bit ones; more than two
// channels are mixed down to one.
void append(const float* samples, std::size_t frames, int channels, std::vector<std::int16_t>& out) {
    if (keptChannels(channels) == channels) {
        std::transform(samples, samples + frames * std::size_t(channels), std::back_inserter(out), toInt16);
        return;
    }
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const float* first = samples + frame * std::size_t(channels);
        out.push_back(toInt16(std::accumulate(first, first + channels, 0.0f) / float(channels)));
    }
}

struct Closer {
    const SndfileLibrary* sf;
    void operator()(SNDFILE* file) const { sf->sf_close(file); }
};

// Every encoding reads as floats from -1 to 1, a block at a time, so that
// what is held grows only with what the file really gives; a file shorter
// than its header says ends the reading early.
std::shared_ptr<const DecodedSound> readBlocks(const SndfileLibrary& sf, SNDFILE* file, const SF_INFO& info) {
    auto sound = std::make_shared<DecodedSound>();
    sound->rate = info.samplerate;
    sound->channels = keptChannels(info.channels);
    sound->samples.reserve(std::size_t(info.frames) * std::size_t(sound->channels));
    std::vector<float> block(std::size_t(kBlockFrames) * std::size_t(info.channels));
    for (sf_count_t done = 0; done < info.frames;) {
        const sf_count_t got = sf.sf_readf_float(file, block.data(), std::min(kBlockFrames, info.frames - done));
        if (got <= 0)
            break;
        append(block.data(), std::size_t(got), info.channels, sound->samples);
        done += got;
    }
    if (sound->samples.empty())
        return nullptr;
    sound->samples.shrink_to_fit();
    return sound;
}

} // namespace

std::shared_ptr<const DecodedSound> decodeSound(const std::string& path) {
    const SndfileLibrary* sf = SndfileLibrary::get();
    if (!sf)
        return nullptr;
    std::error_code error;
    const std::uintmax_t fileBytes = std::filesystem::file_size(path, error);
    if (error)
        return nullptr;
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, Closer> file(sf->sf_open(path.c_str(), SFM_READ, &info), Closer{sf});
    if (!file || !acceptable(info, fileBytes) || overclaimedWave(path, fileBytes))
        return nullptr;
    try {
        return readBlocks(*sf, file.get(), info);
    } catch (const std::exception&) {   // out of memory: the sound is silent
        return nullptr;
    }
}

} // namespace mf::qt
