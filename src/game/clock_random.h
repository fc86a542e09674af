// SPDX-License-Identifier: GPL-3.0-or-later
// The game's uniform generator, reseeded from a clock.
#pragma once

#include <random>

#include "game/platform.h"

namespace mf {

class ClockSeededRandom : public RandomSource {
public:
    explicit ClockSeededRandom(const Clock& clock) : clock_(clock) { reseed(); }

    void reseed() override { engine_.seed(clock_.nowNanoseconds()); }
    double next() override {
        // 53 random bits: uniform in [0, 1), never 1.
        return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
    }

private:
    const Clock& clock_;
    std::mt19937_64 engine_;
};

// Wall time from the system, for the program itself.
class SystemClock : public Clock {
public:
    std::uint64_t nowNanoseconds() const override;
};

} // namespace mf
