// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/status_strip.h"

namespace mf {

void StatusStrip::fit(int boardSize) {
    int lineEnd = 4115;
    ResetWrd.rect.Left = 1680;
    MinesLbl.rect.Left = 2535;
    if (boardSize > 11) {
        lineEnd = 365 * boardSize + 100;
        ResetWrd.rect.Left = 1680 + 182 * (boardSize - 11);
        MinesLbl.rect.Left = 2535 + 365 * (boardSize - 11);
    }
    Reset.rect.Left = ResetWrd.rect.Left;
    for (Line* line : {&Line1, &Line2, &Line3, &Line4})
        line->X2 = lineEnd;
}

StatusStrip::Press StatusStrip::enterPresses(Focus focus) const {
    switch (focus) {
    case Focus::Cell: return Press::Nothing;
    case Focus::Reset: return Reset.Visible ? Press::Reset : Press::Nothing;
    case Focus::ResetWrd:
    case Focus::Elsewhere: break;
    }
    return ResetWrd.Visible ? Press::ResetWrd : Press::Nothing;
}

} // namespace mf
