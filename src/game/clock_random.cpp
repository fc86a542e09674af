// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/clock_random.h"

#include <chrono>

namespace mf {

std::uint64_t SystemClock::nowNanoseconds() const {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

} // namespace mf
