// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds.h"

#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace assetgen {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kPeak = 0.7079; // -3 dBFS

using Buffer = std::vector<double>;

Buffer silence(double seconds) {
    return Buffer(static_cast<std::size_t>(std::lround(seconds * kSampleRate)), 0.0);
}

double noteHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// A short raised-cosine fade at both ends keeps the speaker from clicking;
// then the loudest sample is brought to the common peak level.
void finish(Buffer& b, double fadeIn = 0.005, double fadeOut = 0.03) {
    const auto in = static_cast<std::size_t>(fadeIn * kSampleRate);
    const auto out = static_cast<std::size_t>(fadeOut * kSampleRate);
    for (std::size_t i = 0; i < in && i < b.size(); ++i)
        b[i] *= 0.5 - 0.5 * std::cos(kPi * i / in);
    for (std::size_t i = 0; i < out && i < b.size(); ++i)
        b[b.size() - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * i / out);
    double peak = 0.0;
    for (double s : b) peak = std::max(peak, std::abs(s));
    if (peak > 0.0)
        for (double& s : b) s *= kPeak / peak;
}

// Two-pole resonator (a band-pass around `hz`), for formants.
class Resonator {
public:
    Resonator(double hz, double bandwidth) {
        const double r = std::exp(-kPi * bandwidth / kSampleRate);
        a1_ = 2.0 * r * std::cos(2.0 * kPi * hz / kSampleRate);
        a2_ = -r * r;
        gain_ = 1.0 - r;
    }
    double operator()(double x) {
        const double y = gain_ * x + a1_ * y1_ + a2_ * y2_;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double a1_, a2_, gain_, y1_ = 0.0, y2_ = 0.0;
};

// A tone of a few harmonics with its own attack and exponential decay, added
// into the buffer from `start` seconds on.
struct Tone {
    double hz;
    double start, length;
    double level = 1.0;
    double attack = 0.01, decay = 1.0; // decay: seconds per e-fold
    std::vector<double> harmonics = {1.0};
    double vibrato = 0.0;   // depth as a fraction of the pitch
    double glide = 0.0;     // octaves of pitch change over the tone
};

void add(Buffer& b, const Tone& t) {
    const auto first = static_cast<std::size_t>(t.start * kSampleRate);
    const auto count = static_cast<std::size_t>(t.length * kSampleRate);
    const auto release = static_cast<std::size_t>(0.02 * kSampleRate);
    double phase = 0.0;
    for (std::size_t i = 0; i < count && first + i < b.size(); ++i) {
        const double time = static_cast<double>(i) / kSampleRate;
        double hz = t.hz * std::pow(2.0, t.glide * time / t.length);
        hz *= 1.0 + t.vibrato * std::sin(2.0 * kPi * 5.5 * time);
        phase += 2.0 * kPi * hz / kSampleRate;
        double env = std::min(1.0, time / t.attack) * std::exp(-time / t.decay);
        if (count - i < release) env *= static_cast<double>(count - i) / release;
        double s = 0.0;
        for (std::size_t h = 0; h < t.harmonics.size(); ++h)
            s += t.harmonics[h] * std::sin(phase * static_cast<double>(h + 1));
        b[first + i] += t.level * env * s;
    }
}

// A bell: a few inharmonic partials, the higher ones dying sooner.
void bell(Buffer& b, double hz, double start, double length, double level) {
    const double ratios[] = {1.0, 2.0, 2.76, 5.4};
    const double levels[] = {1.0, 0.45, 0.3, 0.12};
    const double decays[] = {0.45, 0.3, 0.18, 0.08};
    for (int k = 0; k < 4; ++k)
        add(b, Tone{.hz = hz * ratios[k], .start = start, .length = length,
                    .level = level * levels[k], .attack = 0.002, .decay = decays[k]});
}

// A brass-like note: many harmonics, rolled off.
const std::vector<double> kBrass = {1.0, 0.7, 0.5, 0.36, 0.25, 0.16, 0.1, 0.06};

Buffer explosion() {
    Buffer b = silence(1.6);
    Dice dice(0xb00u);
    double lp1 = 0.0, lp2 = 0.0, thumpPhase = 0.0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        // Noise through two low-pass stages whose cut-off falls from bright
        // crack to dull rumble.
        const double cutoff = 250.0 + 6000.0 * std::exp(-t / 0.15);
        const double a = 1.0 - std::exp(-2.0 * kPi * cutoff / kSampleRate);
        const double noise = 2.0 * dice.unit() - 1.0;
        lp1 += a * (noise - lp1);
        lp2 += a * (lp1 - lp2);
        // Quieter noise after heavy filtering is made up by the gain, so
        // the rumble keeps its weight as it darkens.
        const double makeUp = std::sqrt(6250.0 / cutoff);
        const double attack = std::min(1.0, t / 0.004);
        const double body = 0.75 * std::exp(-t / 0.35) + 0.3 * std::exp(-t / 0.9);
        // A falling low thump underneath.
        thumpPhase += 2.0 * kPi * (38.0 + 70.0 * std::exp(-t / 0.15)) / kSampleRate;
        const double thump = std::sin(thumpPhase) * std::exp(-t / 0.4);
        b[i] = attack * (lp2 * makeUp * body + 0.5 * thump);
    }
    // Crackle of debris in the first half second.
    for (int k = 0; k < 40; ++k) {
        const double at = 0.05 + 0.6 * dice.unit() * dice.unit();
        const auto first = static_cast<std::size_t>(at * kSampleRate);
        const double level = 0.25 * (1.0 - at);
        for (std::size_t i = 0; i < 300 && first + i < b.size(); ++i)
            b[first + i] += level * (2.0 * dice.unit() - 1.0) * std::exp(-static_cast<double>(i) / 60.0);
    }
    // Drive it into a soft clip: a blast should sound loud, not just peak.
    double peak = 0.0;
    for (double s : b) peak = std::max(peak, std::abs(s));
    for (double& s : b) s = std::tanh(3.0 * s / peak);
    finish(b, 0.002, 0.35);
    return b;
}

Buffer fanfare() {
    Buffer b = silence(1.5);
    // G4 C5 E5 G5 . E5 G5 ------ over a closing C major chord.
    const struct { int midi; double at, len; } notes[] = {
        {67, 0.00, 0.12}, {72, 0.12, 0.12}, {76, 0.24, 0.12}, {79, 0.36, 0.24},
        {76, 0.60, 0.12}, {79, 0.72, 0.78},
    };
    for (const auto& n : notes)
        add(b, Tone{.hz = noteHz(n.midi), .start = n.at, .length = n.len, .level = 1.0,
                    .attack = 0.015, .decay = n.len > 0.5 ? 1.2 : 0.5, .harmonics = kBrass,
                    .vibrato = n.len > 0.5 ? 0.006 : 0.0});
    for (int midi : {60, 64, 67})
        add(b, Tone{.hz = noteHz(midi), .start = 0.72, .length = 0.78, .level = 0.45,
                    .attack = 0.03, .decay = 1.0, .harmonics = kBrass});
    finish(b, 0.005, 0.12);
    return b;
}

Buffer winJingle() {
    Buffer b = silence(1.0);
    // C6 E6 G6 C7, bell-like, ringing out.
    const int notes[] = {84, 88, 91, 96};
    for (int k = 0; k < 4; ++k) bell(b, noteHz(notes[k]), 0.09 * k, 1.0 - 0.09 * k, k == 3 ? 1.0 : 0.8);
    finish(b, 0.003, 0.1);
    return b;
}

Buffer laugh() {
    Buffer b = silence(1.2);
    Dice dice(0x4a4au);
    // Six "ha"s, each a breathy "h" then a voiced "a" whose pitch sinks.
    Resonator f1(760.0, 90.0), f2(1250.0, 110.0), f3(2600.0, 160.0);
    Resonator breath(1800.0, 900.0);
    constexpr int kPulses = 6;
    constexpr double kEvery = 0.185, kVoiced = 0.12, kBreath = 0.03;
    double phase = 0.0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const int k = static_cast<int>(t / kEvery);
        const double local = t - k * kEvery;
        double source = 0.0, air = 0.0;
        if (k < kPulses) {
            if (local < kBreath) {
                air = (2.0 * dice.unit() - 1.0) * std::sin(kPi * local / kBreath);
            } else if (local < kBreath + kVoiced) {
                const double v = (local - kBreath) / kVoiced;
                const double hz = (330.0 - 14.0 * k) * (1.0 - 0.12 * v);
                phase += hz / kSampleRate;
                phase -= std::floor(phase);
                const double env = std::min(1.0, v / 0.12) * std::min(1.0, (1.0 - v) / 0.3);
                source = env * (1.0 - 2.0 * phase); // a sawtooth for the voice
                air = 0.15 * env * (2.0 * dice.unit() - 1.0);
            }
        }
        b[i] = 3.0 * f1(source) + 2.0 * f2(source) + 0.8 * f3(source) + 1.5 * breath(air);
    }
    finish(b, 0.005, 0.03);
    return b;
}

Buffer farewell() {
    Buffer b = silence(1.6);
    // G5 E5 C5 G4, the last one sagging as it fades.
    const struct { int midi; double at, len; } notes[] = {
        {79, 0.00, 0.30}, {76, 0.30, 0.30}, {72, 0.60, 0.30}, {67, 0.90, 0.70},
    };
    for (const auto& n : notes) {
        const bool last = n.len > 0.5;
        add(b, Tone{.hz = noteHz(n.midi), .start = n.at, .length = n.len, .level = 1.0,
                    .attack = 0.01, .decay = last ? 0.45 : 0.35,
                    .harmonics = {1.0, 0.0, 0.3, 0.0, 0.12}, .vibrato = last ? 0.01 : 0.0,
                    .glide = last ? -0.25 : 0.0});
    }
    finish(b, 0.005, 0.1);
    return b;
}

Buffer helpChime() {
    Buffer b = silence(1.0);
    // A rising two-note "ding-ding": A5 then E6.
    bell(b, noteHz(81), 0.0, 1.0, 0.8);
    bell(b, noteHz(88), 0.16, 0.84, 1.0);
    finish(b, 0.003, 0.1);
    return b;
}

void put16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xff));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<unsigned char>((v >> (8 * k)) & 0xff));
}

void putTag(std::vector<unsigned char>& out, const char* tag) {
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<unsigned char>(tag[k]));
}

} // namespace

std::vector<unsigned char> waveFile(const std::vector<double>& samples) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<unsigned char> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, kSampleRate);
    put32(out, kSampleRate * 2); // bytes a second
    put16(out, 2);               // bytes a frame
    put16(out, 16);              // bits a sample
    putTag(out, "data");
    put32(out, dataBytes);
    for (double s : samples) {
        const long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    }
    return out;
}

std::vector<Sound> synthesiseSounds() {
    return {
        {"Vorask1.fez", explosion()}, {"Vorask2.fez", fanfare()},
        {"Vorask3.fez", helpChime()}, {"Vorask4.fez", farewell()},
        {"Vorask5.fez", winJingle()}, {"Vorask6.fez", laugh()},
    };
}

} // namespace assetgen
