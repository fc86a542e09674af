// SPDX-License-Identifier: GPL-3.0-or-later
// The title window: shown alone when the program starts, and again as the
// About box. A click on it or a character key unloads it and shows the game.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "game/controls.h"

namespace mf {

class StartupFrm {
public:
    static constexpr int Width = 7320; // no border: outer size = client size
    static constexpr int Height = 3600;
    // What a screen reader says after the title: how the window goes on.
    static constexpr const char* kSpokenHint = "Press any key to continue.";

    // showMain: shows the game window, creating it the first time.
    explicit StartupFrm(std::function<void()> showMain);

    std::string Caption = kTitle;
    Rect Frame1{120, 0, 7080, 3400};
    // Element 0 is the black shadow, element 1 the red face drawn above it.
    std::array<Label, 2> lblProductName{{
        {{240, 240, 4365, 840}, true, kTitle},
        {{200, 205, 4365, 825}, true, kTitle},
    }};
    Image imgLogo{{6360, 360, 540, 540}, true, Picture::imgLogo, ""};
    bool Loaded = true; // false once unloaded; the window is then gone

    // A key that produced the character KeyAscii.
    void Form_KeyPress(Int16 KeyAscii);
    void Frame1_Click();
    void imgLogo_Click() { Frame1_Click(); }
    void lblProductName_Click(Int16 Index);

private:
    std::function<void()> showMain_;
};

} // namespace mf
