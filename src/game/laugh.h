// SPDX-License-Identifier: GPL-3.0-or-later
// The laughing face: Ha ticks switch the face button between Ha1 and Ha2,
// twelve times, once a laugh has been armed.
#pragma once

#include "game/controls.h"

namespace mf {

class Laugh {
public:
    static constexpr int kInterval = 100; // Ha, milliseconds
    static constexpr Int16 kSwitches = 12;

    Int16 HaOn = 0;    // 1 once a laugh has been armed
    Int16 HaFrame = 0; // number of the next switch, 1..13

    void arm() {
        HaOn = 1;
        HaFrame = 1;
    }
    // True while ticks still have switching to do.
    bool running() const { return HaOn == 1 && HaFrame <= kSwitches; }

    void Ha_Timer(Button& Reset) {
        if (!running())
            return;
        Reset.picture = Reset.picture == Picture::Ha1 ? Picture::Ha2 : Picture::Ha1;
        ++HaFrame;
    }
};

} // namespace mf
