// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/game_clock.h"

namespace mf {

bool GameClock::tick(Minefield& field, Label& TimeLbl, Int16 windowState) {
    if (field.GameActive != 1 || field.ClockStarted != 1 || windowState == 1 || limitMessageOpen)
        return false;
    ++field.ElapsedSeconds;
    VScrolltime.Value = field.ElapsedSeconds;
    TimeLbl.Caption = "TIME: " + numberText(field.ElapsedSeconds);
    return field.ElapsedSeconds == kTimeLimit;
}

} // namespace mf
