// SPDX-License-Identifier: GPL-3.0-or-later
// Writes test sounds with libsndfile: a sine tone in any encoding it writes,
// and a sound that counts its own samples.
#pragma once

#include <QFile>
#include <QString>

#include <sndfile.h>

#include <cmath>
#include <vector>

namespace mf::test {

struct Tone {
    int ms = 500;
    double hz = 440;
    int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    int channels = 1;
    int rate = 44100;
    double amplitude = 0.5;   // -6 dBFS
};

// False when libsndfile refuses the encoding or the file.
inline bool writeTone(const QString& path, const Tone& tone) {
    SF_INFO info{};
    info.samplerate = tone.rate;
    info.channels = tone.channels;
    info.format = tone.format;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const sf_count_t frames = sf_count_t(tone.rate) * tone.ms / 1000;
    std::vector<double> samples(std::size_t(frames) * std::size_t(tone.channels));
    for (sf_count_t i = 0; i < frames; ++i)
        for (int c = 0; c < tone.channels; ++c)
            samples[std::size_t(i * tone.channels + c)] =
                tone.amplitude * std::sin(2 * M_PI * tone.hz * double(i) / tone.rate);
    const bool whole = sf_writef_double(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && whole;
}

// A sound whose samples count themselves: frame i holds first + step * i in
// its first channel, as 16-bit PCM, and silence in the others, where a test
// may mix a count of its own. False when the file cannot be written.
inline bool writeCount(const QString& path, int rate, int frames, int first, int step, int channels = 2) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::vector<short> samples;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples.push_back(c == 0 ? short(first + step * i) : short(0));
    const bool whole = sf_writef_short(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && whole;
}

} // namespace mf::test
