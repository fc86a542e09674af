// SPDX-License-Identifier: GPL-3.0-or-later
// The one-second clock of a round and its time limit.
#pragma once

#include "game/controls.h"
#include "game/minefield.h"

namespace mf {

inline constexpr int kTimeLimit = 998;
inline constexpr const char* kTimeLimitText =
    "Sorry, You Were So Slow, Pellidor Could Wait No Longer, And Professionals Were Sent In";

class GameClock {
public:
    static constexpr int kInterval = 1000; // SecTimer, milliseconds

    // Hidden holder of the round's seconds, read by the record entry.
    ScrollBar VScrolltime{{6840, 4080, 375, 1695}, 0, 999, 0};
    bool limitMessageOpen = false; // ticks are not counted while it is shown

    // One tick: counts a second while the round is timed and the window is
    // not minimised. True when the count has reached the time limit.
    bool tick(Minefield& field, Label& TimeLbl, Int16 windowState);
};

} // namespace mf
