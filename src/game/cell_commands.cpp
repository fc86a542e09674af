// SPDX-License-Identifier: GPL-3.0-or-later
// Presses on covered cells and clicks on flags.
#include "shell/main_window.h"

namespace mf {

void Main::Command2_MouseDown(Int16 Index, Int16 Button) {
    if (field.ClockStarted == 0)
        field.ClockStarted = 1;
    if (Button == 1) {
        ShowButton(Index);
        return;
    }
    field.uncover(Index);
    field.ButPic[Index].Tag = "think";
    field.ButPic[Index].picture = Picture::imgFlag;
    --field.MinesLeft;
    strip.MinesLbl.Caption = "MINES: " + numberText(field.MinesLeft);
}

void Main::ButPic_Click(Int16 Index) {
    Image& picture = field.ButPic[Index];
    if (picture.Tag != "think")
        return;
    field.Command2[Index].Visible = true;
    picture.Visible = false;
    picture.Tag = "";
    ++field.MinesLeft;
    strip.MinesLbl.Caption = "MINES: " + numberText(field.MinesLeft);
}

void Main::ShowButton(Int16 Index) {
    const int c = Minefield::columnOf(Index);
    const int r = Minefield::rowOf(Index);
    field.CellState[c][r] = 0;
    field.uncover(Index);
    const Int16 v = field.CellValue[c][r];
    if (v == 0) {
        ShowNone(Index);
        ShowAround(Index);
    } else {
        field.ButPic[Index].picture = v == 10 ? Picture::imgHit : digitPicture(v);
    }
    if (field.coveredSum() == -field.MineCount) {
        field.GameActive = 0;
        Endgame(2, 1, 1);
    }
    if (v == 10) {
        field.GameActive = 0;
        Endgame(1, static_cast<Int16>(c), static_cast<Int16>(r));
    }
}

} // namespace mf
