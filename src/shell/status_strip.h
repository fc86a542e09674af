// SPDX-License-Identifier: GPL-3.0-or-later
// The strip along the top of the main window: time, the two reset buttons
// and the mine counter, between decoration lines.
#pragma once

#include "game/controls.h"

namespace mf {

struct StatusStrip {
    Label TimeLbl{{120, 225, 1410, 405}, true, "TIME: 0"};
    Button ResetWrd{{1650, 120, 765, 615}, true, "Reset", Picture::None};
    Button Reset{{1680, 120, 765, 615}, false, "", Picture::ImgVorask};
    Label MinesLbl{{2535, 225, 1500, 405}, true, "MINES: 0"};
    Line Line2{120, 0, 5160, 0};     // black
    Line Line4{120, 25, 5160, 25};   // white, width 2
    Line Line1{120, 840, 5160, 840}; // black, over Line3
    Line Line3{120, 840, 5160, 840}; // white, width 2

    // Where the keyboard focus is, for Enter: on one of the two buttons, on a
    // cell of the board, or elsewhere (the window itself, a label).
    enum class Focus { Elsewhere, ResetWrd, Reset, Cell };
    enum class Press { Nothing, ResetWrd, Reset };
    // The button Enter presses: the push button with the focus, or else the
    // window's default button ResetWrd while it shows. A focused cell is a
    // covering push button, and those answer no click: Enter does nothing.
    Press enterPresses(Focus focus) const;

    // Places the buttons, the mine counter and the lines for a board side.
    void fit(int boardSize);
    // Which of the two reset buttons shows: the word during a round, the face after.
    void showFace(bool face) {
        ResetWrd.Visible = !face;
        Reset.Visible = face;
    }
};

} // namespace mf
