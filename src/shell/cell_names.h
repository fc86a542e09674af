// SPDX-License-Identifier: GPL-3.0-or-later
// The words a screen reader says for what a sighted player sees: each cell
// of the board by its picture, and the face on the reset button.
#pragma once

#include <string>

#include "game/controls.h"

namespace mf {

class Main;

// "covered", "flag", "1" to "8", "empty", "mine", "exploded mine" or
// "wrong flag"; empty for a cell off the board.
std::string cellName(const Main& main, int column, int row);

// "column 3, row 2".
std::string cellPlace(int column, int row);

// "skull face", "laughing face", ...; empty for no picture.
std::string faceName(Picture face);

} // namespace mf
