// SPDX-License-Identifier: GPL-3.0-or-later
// Turns a sound file into samples the output can play: any wave-audio
// encoding libsndfile reads (PCM of 8 to 32 bits, float, µ-law, A-law,
// ADPCM), mono or stereo, at its own rate, as interleaved 16-bit samples.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mf::qt {

struct DecodedSound {
    int rate = 0;                        // frames a second
    int channels = 0;                    // 1 or 2
    std::vector<std::int16_t> samples;   // interleaved

    std::size_t frames() const { return samples.size() / std::size_t(channels); }
    std::chrono::milliseconds duration() const {
        return std::chrono::milliseconds(std::int64_t(frames()) * 1000 / rate);
    }
};

// Longer sounds are refused: no game event lasts that long.
inline constexpr std::chrono::seconds kLongestSound{30};

// The samples of a file, or null when it is missing, empty, not audio, too
// long, claims more than a file of its size can hold, or has not a single
// frame. A file cut short gives what it holds. Never throws: what a file
// costs is bounded by the longest sound, whatever its header says.
std::shared_ptr<const DecodedSound> decodeSound(const std::string& path);

} // namespace mf::qt
