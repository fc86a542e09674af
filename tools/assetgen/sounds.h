// SPDX-License-Identifier: GPL-3.0-or-later
// The game's sounds, synthesised: 16-bit mono PCM wave files at 44100 Hz.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

constexpr int kSampleRate = 44100;

struct Sound {
    std::string file;            // e.g. "Vorask1.fez"
    std::vector<double> samples; // in [-1, 1]
};

std::vector<Sound> synthesiseSounds();

// The bytes of a RIFF/WAVE file holding the samples as 16-bit PCM.
std::vector<unsigned char> waveFile(const std::vector<double>& samples);

} // namespace assetgen
